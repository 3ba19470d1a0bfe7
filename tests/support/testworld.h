#pragma once

#include <QString>
#include <QTemporaryDir>

// Gives a test process a world of its own: HOME, the XDG folders, the serial
// device folder, the settings store and the ODBC driver registry all point into
// one temporary folder that disappears with the object. Construct it first in
// main(), before any QCoreApplication exists.
class TestWorld {
public:
    TestWorld();
    ~TestWorld();
    TestWorld(const TestWorld&) = delete;
    TestWorld& operator=(const TestWorld&) = delete;

    QString root() const { return m_dir.path(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString deviceDir() const { return path("devices"); }
    QString configDir() const { return path("config"); }
    QString dataDir() const { return path("data"); }
    QString runtimeDir() const { return path("runtime"); }
    // An ODBC connection string for a fresh SQLite database file in this world.
    QString sqliteConnection(const QString& fileName) const;

    static TestWorld* instance();

private:
    QTemporaryDir m_dir;
};

// Use instead of QTEST_MAIN / QTEST_GUILESS_MAIN so that the world exists
// before the application object.
#define TARVEX_TEST_MAIN(TestClass)                                                                \
    int main(int argc, char** argv) {                                                              \
        TestWorld world;                                                                           \
        QApplication app(argc, argv);                                                              \
        TestClass tc;                                                                              \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#define TARVEX_TEST_GUILESS_MAIN(TestClass)                                                        \
    int main(int argc, char** argv) {                                                              \
        TestWorld world;                                                                           \
        QCoreApplication app(argc, argv);                                                          \
        TestClass tc;                                                                              \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
