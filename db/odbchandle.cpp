#include "odbchandle.h"

#include <sql.h>
#include <sqlext.h>

#include <utility>

COdbcHandle::COdbcHandle(short type, void* parent) : m_type(type) {
    SQLHANDLE handle = SQL_NULL_HANDLE;
    if (SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle)))
        m_handle = handle;
}

COdbcHandle::~COdbcHandle() {
    reset();
}

COdbcHandle::COdbcHandle(COdbcHandle&& other) noexcept
    : m_type(other.m_type), m_handle(std::exchange(other.m_handle, nullptr)) {}

COdbcHandle& COdbcHandle::operator=(COdbcHandle&& other) noexcept {
    if (this != &other) {
        reset();
        m_type = other.m_type;
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

COdbcHandle COdbcHandle::Environment(int odbcVersion) {
    COdbcHandle env(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    if (env) {
        const SQLULEN version = odbcVersion == 2 ? SQL_OV_ODBC2 : SQL_OV_ODBC3;
        SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(version), 0);
    }
    return env;
}

void COdbcHandle::reset() {
    if (m_handle)
        SQLFreeHandle(m_type, std::exchange(m_handle, nullptr));
}
