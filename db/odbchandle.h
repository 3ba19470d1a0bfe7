#pragma once

// One ODBC handle (environment, connection or statement), freed when its owner goes. A
// connection handle must go before its environment and a statement before its connection:
// declare the owners in that order.
class COdbcHandle {
public:
    COdbcHandle() = default;
    // Allocates a handle of the ODBC handle type under `parent` (none for an environment);
    // empty when the driver manager refuses.
    COdbcHandle(short type, void* parent);
    ~COdbcHandle();
    COdbcHandle(COdbcHandle&& other) noexcept;
    COdbcHandle& operator=(COdbcHandle&& other) noexcept;
    COdbcHandle(const COdbcHandle&) = delete;
    COdbcHandle& operator=(const COdbcHandle&) = delete;

    // An environment that asks drivers for the given ODBC behaviour (2 or 3).
    static COdbcHandle Environment(int odbcVersion = 3);

    void* get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void reset();

private:
    short m_type = 0;
    void* m_handle = nullptr;
};
