#include "storedpanel.h"
#include "tarvexdoc.h"
#include "testworld.h"
#include "workspacebytes.h"
#include "workspacefile.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace WorkspaceBytes;

using Status = WorkspaceLoadResult::Status;

// The one-employee, one-controller workspace of 96 bytes.
void fillSmall(CTarvexDoc& doc) {
    doc.InsertEmployee("1B00000000000101", {"Doe", "Ann"});
    CTermRecord record;
    record.Name = "Door";
    record.ID = 7;
    record.Code = 9;
    record.IdTable["1B00000000000101"] = "00";
    doc.InsertController(3, record);
}

WorkspaceLoadResult parse(const QByteArray& bytes, CTarvexDoc::EmployeeMap& e,
                          CTarvexDoc::ControllerMap& c) {
    return CWorkspaceFile::Parse(bytes.constData(), std::size_t(bytes.size()), e, c);
}

} // namespace

class TestWorkspaceFile : public QObject {
    Q_OBJECT

    QString path(const QString& name) { return TestWorld::instance()->path(name); }

private slots:
    void emptyWorkspaceIs19Bytes() {
        CTarvexDoc doc;
        const std::string bytes = CWorkspaceFile::Serialize(doc);
        const QByteArray expected = kHeader + int32(0) + int32(0);
        QCOMPARE(QByteArray::fromStdString(bytes), expected);
        QCOMPARE(expected.size(), 19);
        QVERIFY(expected.startsWith(QByteArray::fromHex("06546172766578")));

        QVERIFY(CWorkspaceFile::Save(doc, path("empty.VR-12")).ok);
        QCOMPARE(fileBytes(path("empty.VR-12")), expected);
        doc.InsertEmployee("X", {});
        QCOMPARE(CWorkspaceFile::Load(path("empty.VR-12"), doc).status, Status::Ok);
        QVERIFY(doc.Employees().empty());
    }

    void smallWorkspaceIs96BytesExactly() {
        CTarvexDoc doc;
        fillSmall(doc);
        const QByteArray expected = kHeader + int32(1) + text("1B00000000000101") + text("Ann") +
                                    text("Doe") + int32(1) + int32(3) + int32(7) + int32(9) +
                                    text("Door") + int32(0) + int32(0) + text("") + text("") +
                                    text("") + int32(1) + text("1B00000000000101") + text("00");
        QCOMPARE(expected.size(), 96);
        QCOMPARE(QByteArray::fromStdString(CWorkspaceFile::Serialize(doc)), expected);

        CTarvexDoc::EmployeeMap e;
        CTarvexDoc::ControllerMap c;
        QCOMPARE(parse(expected, e, c).status, Status::Ok);
        QCOMPARE(e.at("1B00000000000101"), (CEmpRecord{"Doe", "Ann"}));
        QCOMPARE(c.at(3).Name, std::string("Door"));
        QCOMPARE(c.at(3).ID, 7);
        QCOMPARE(c.at(3).Code, 9);
        QCOMPARE(c.at(3).IdTable.at("1B00000000000101"), std::string("00"));
    }

    void lengthPrefixes_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("prefix");
        QTest::newRow("0") << 0 << QByteArray::fromHex("00");
        QTest::newRow("254") << 254 << QByteArray::fromHex("fe");
        QTest::newRow("255") << 255 << QByteArray::fromHex("ffff00");
        QTest::newRow("65533") << 65533 << QByteArray::fromHex("fffdff");
        QTest::newRow("65534") << 65534
                               << QByteArray::fromHex("ffffff"
                                                      "feff0000");
        QTest::newRow("70000") << 70000
                               << QByteArray::fromHex("ffffff"
                                                      "70110100");
    }
    void lengthPrefixes() {
        QFETCH(int, length);
        QFETCH(QByteArray, prefix);
        CTarvexDoc doc;
        CTermRecord record;
        record.Name.assign(std::size_t(length), 'n');
        doc.InsertController(1, record);
        const QByteArray bytes = QByteArray::fromStdString(CWorkspaceFile::Serialize(doc));
        const int at = kHeader.size() + 4 + 4 + 12;
        QCOMPARE(bytes.mid(at, prefix.size()), prefix);
        QCOMPARE(bytes.size(), 19 + 12 + prefix.size() + length + 8 + 3 + 4);

        CTarvexDoc::EmployeeMap e;
        CTarvexDoc::ControllerMap c;
        QCOMPARE(parse(bytes, e, c).status, Status::Ok);
        QCOMPARE(c.at(1).Name.size(), std::size_t(length));
    }

    void readerAcceptsLongerPrefixForms() {
        // "Ann" in the three-byte and the seven-byte form, "Doe" in the one-byte form.
        const QByteArray bytes = kHeader + int32(1) + text("0100000000000001") +
                                 QByteArray::fromHex("ff0300") + "Ann" +
                                 QByteArray::fromHex("ffffff03000000") + "Doe" + int32(0);
        CTarvexDoc::EmployeeMap e;
        CTarvexDoc::ControllerMap c;
        QCOMPARE(parse(bytes, e, c).status, Status::Ok);
        QCOMPARE(e.at("0100000000000001"), (CEmpRecord{"Doe", "Ann"}));
    }

    void everyByteValueRoundTrips() {
        CTarvexDoc doc;
        std::string all;
        for (int b = 0; b < 256; ++b)
            all.push_back(char(b));
        doc.InsertEmployee(all, {all, std::string(all.rbegin(), all.rend())});
        CTermRecord record;
        record.Name = all;
        record.Master = all;
        record.MasterName = "\xC4pfel";
        record.Firmware = std::string("a\0b", 3);
        record.IdTable[all] = "\xFF";
        doc.InsertController(255, record);
        doc.CreatePanel(255);
        QVERIFY(CWorkspaceFile::Save(doc, path("bytes.VR-12")).ok);

        CTarvexDoc loaded;
        QCOMPARE(CWorkspaceFile::Load(path("bytes.VR-12"), loaded).status, Status::Ok);
        QCOMPARE(loaded.Employees(), doc.Employees());
        const CTermRecord& back = loaded.Controllers().at(255);
        QCOMPARE(back.Name, all);
        QCOMPARE(back.Master, all);
        QCOMPARE(back.MasterName, std::string("\xC4pfel"));
        QCOMPARE(back.Firmware, std::string("a\0b", 3));
        QCOMPARE(back.IdTable, record.IdTable);
        QVERIFY(back.Panel); // a panel is created for every controller read
        QVERIFY(!loaded.IsModified());
        QCOMPARE(QByteArray::fromStdString(CWorkspaceFile::Serialize(loaded)),
                 fileBytes(path("bytes.VR-12")));
    }

    void savingReadsThePanelsLiveValues() {
        CTarvexDoc doc;
        CTermRecord record;
        record.Relay1Time = 1;
        record.Master = "OLD";
        doc.InsertController(2, record);
        doc.CreatePanel(2);
        auto* panel = dynamic_cast<CStoredPanel*>(doc.FindController(2)->Panel);
        QVERIFY(panel);
        panel->SetRelay1Time(6);
        panel->SetRelay2Time(7);
        panel->SetMaster("0100000000000001");
        panel->SetMasterName("Doe Jane");
        panel->SetFirmware("VR-12 v2");
        QVERIFY(CWorkspaceFile::Save(doc, path("live.VR-12")).ok);

        CTarvexDoc loaded;
        QCOMPARE(CWorkspaceFile::Load(path("live.VR-12"), loaded).status, Status::Ok);
        const CTermRecord& back = loaded.Controllers().at(2);
        QCOMPARE(back.Relay1Time, 6);
        QCOMPARE(back.Relay2Time, 7);
        QCOMPARE(back.Master, std::string("0100000000000001"));
        QCOMPARE(back.MasterName, std::string("Doe Jane"));
        QCOMPARE(back.Firmware, std::string("VR-12 v2"));
    }

    void foreignOrOtherVersionFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("version");
        const int other = int(Status::OtherVersion);
        const int foreign = int(Status::NotWorkspace);
        QTest::newRow("version 3") << text("Tarvex") + int32(3) + int32(1) << other << 3;
        QTest::newRow("version 1") << text("Tarvex") + int32(1) << other << 1;
        QTest::newRow("version -1") << text("Tarvex") + int32(-1) << other << -1;
        QTest::newRow("other magic")
            << text("Tarvey") + int32(2) + int32(0) + int32(0) << foreign << 0;
        QTest::newRow("longer magic")
            << text("Tarvex!") + int32(2) + int32(0) + int32(0) << foreign << 0;
        QTest::newRow("lower case")
            << text("tarvex") + int32(2) + int32(0) + int32(0) << foreign << 0;
        // Its first byte, read as a length, runs past the end.
        QTest::newRow("plain text") << QByteArray("important notes") << foreign << 0;
        QTest::newRow("one byte") << QByteArray("x") << foreign << 0;
    }
    void foreignOrOtherVersionFilesAreRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(int, version);
        writeBytes(path("other.VR-12"), bytes);
        CTarvexDoc doc;
        doc.InsertEmployee("E", {});
        doc.SetModifiedFlag();
        const WorkspaceLoadResult r = CWorkspaceFile::Load(path("other.VR-12"), doc);
        QCOMPARE(int(r.status), status);
        QVERIFY(r.failed());
        QCOMPARE(r.version, version);
        QVERIFY(doc.Employees().empty());
        QVERIFY(!doc.IsModified());
        QCOMPARE(fileBytes(path("other.VR-12")), bytes);
    }

    void zeroLengthFileIsAnEmptyWorkspace() {
        writeBytes(path("zero.VR-12"), {});
        CTarvexDoc doc;
        QCOMPARE(CWorkspaceFile::Load(path("zero.VR-12"), doc).status, Status::Ok);
        QVERIFY(doc.Employees().empty() && doc.Controllers().empty());
    }

    void everyTruncationFailsCleanly() {
        CTarvexDoc doc;
        fillSmall(doc);
        const QByteArray full = QByteArray::fromStdString(CWorkspaceFile::Serialize(doc));
        for (int size = 1; size < full.size(); ++size) {
            CTarvexDoc::EmployeeMap e;
            CTarvexDoc::ControllerMap c;
            const WorkspaceLoadResult r = parse(full.left(size), e, c);
            QVERIFY2(r.failed(), qPrintable(QString::number(size)));
            QVERIFY(!r.reason.isEmpty());
        }
        // Through the file: the document is left empty and unmodified.
        writeBytes(path("cut.VR-12"), full.left(full.size() - 1));
        CTarvexDoc target;
        fillSmall(target);
        target.SetModifiedFlag();
        QVERIFY(CWorkspaceFile::Load(path("cut.VR-12"), target).failed());
        QVERIFY(target.Employees().empty() && target.Controllers().empty());
        QVERIFY(!target.IsModified());
    }

    void corruptPrefixesAndCountsAllocateNothingHuge_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("32-bit prefix 0xFFFFFFFF")
            << kHeader + int32(1) + QByteArray::fromHex("ffffffffffffff") + "abc";
        QTest::newRow("32-bit prefix 0x7FFFFFFF")
            << kHeader + int32(1) + QByteArray::fromHex("ffffffffffff7f");
        QTest::newRow("16-bit prefix past end")
            << kHeader + int32(1) + QByteArray::fromHex("ff0010");
        QTest::newRow("huge employee count") << kHeader + int32(0x7FFFFFFF) + text("A");
        QTest::newRow("huge id table count")
            << kHeader + int32(0) + int32(1) + int32(1) + int32(0) + int32(0) + text("") +
                   int32(0) + int32(0) + text("") + text("") + text("") + int32(0x7FFFFFFF);
        QTest::newRow("magic prefix past end") << QByteArray::fromHex("ff");
    }
    void corruptPrefixesAndCountsAllocateNothingHuge() {
        QFETCH(QByteArray, bytes);
        CTarvexDoc::EmployeeMap e;
        CTarvexDoc::ControllerMap c;
        QVERIFY(parse(bytes, e, c).failed());
    }

    void negativeCountsReadNothing() {
        const QByteArray bytes = kHeader + int32(-5) + int32(1) + int32(4) + int32(1) + int32(2) +
                                 text("N") + int32(0) + int32(0) + text("") + text("") + text("") +
                                 int32(-1);
        CTarvexDoc::EmployeeMap e;
        CTarvexDoc::ControllerMap c;
        QCOMPARE(parse(bytes, e, c).status, Status::Ok);
        QVERIFY(e.empty());
        QCOMPARE(c.size(), std::size_t(1));
        QVERIFY(c.at(4).IdTable.empty());
        QVERIFY(parse(kHeader + int32(INT_MIN) + int32(INT_MIN), e, c).status == Status::Ok);
    }

    void duplicatesKeepTheFirst() {
        auto ctl = [](int port, const QByteArray& name, const QByteArray& slot) {
            return int32(port) + int32(1) + int32(1) + text(name) + int32(0) + int32(0) + text("") +
                   text("") + text("") + int32(2) + text("ID") + text(slot) + text("ID") +
                   text(slot + "x");
        };
        const QByteArray bytes = kHeader + int32(2) + text("E") + text("F1") + text("L1") +
                                 text("E") + text("F2") + text("L2") + int32(2) +
                                 ctl(5, "first", "01") + ctl(5, "second", "02");
        CTarvexDoc::EmployeeMap e;
        CTarvexDoc::ControllerMap c;
        QCOMPARE(parse(bytes, e, c).status, Status::Ok);
        QCOMPARE(e.size(), std::size_t(1));
        QCOMPARE(e.at("E").FirstName, std::string("F1"));
        QCOMPARE(c.size(), std::size_t(1));
        QCOMPARE(c.at(5).Name, std::string("first"));
        QCOMPARE(c.at(5).IdTable.at("ID"), std::string("01"));
    }

    void unreadableFilesFail() {
        CTarvexDoc doc;
        const WorkspaceLoadResult missing = CWorkspaceFile::Load(path("missing.VR-12"), doc);
        QVERIFY(missing.failed());
        QVERIFY(missing.reason.contains(QStringLiteral("missing.VR-12")));
        QDir(TestWorld::instance()->root()).mkpath("adir.VR-12");
        QVERIFY(CWorkspaceFile::Load(path("adir.VR-12"), doc).failed());
    }

    void failedSaveKeepsThePreviousFile() {
        CTarvexDoc small;
        fillSmall(small);
        const QString target = path("keep/ws.VR-12");
        QDir(TestWorld::instance()->root()).mkpath("keep");
        QVERIFY(CWorkspaceFile::Save(small, target).ok);
        const QByteArray before = fileBytes(target);

        CTarvexDoc big;
        for (int i = 0; i < 2000; ++i)
            big.InsertEmployee(QByteArray::number(i).toStdString(), {"Last", "First"});

        // A file size limit makes the write itself fail half-way, even for root.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = 1000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const WorkspaceSaveResult r = CWorkspaceFile::Save(big, target);
        setrlimit(RLIMIT_FSIZE, &old);

        QVERIFY(!r.ok);
        QVERIFY(!r.reason.isEmpty());
        QCOMPARE(fileBytes(target), before);
        QCOMPARE(QDir(path("keep")).entryList(QDir::Files | QDir::Hidden), QStringList("ws.VR-12"));

        // Into a folder that does not exist.
        QVERIFY(!CWorkspaceFile::Save(small, path("nowhere/ws.VR-12")).ok);
    }

    void saveKeepsPermissionsAndFollowsLinks() {
        CTarvexDoc doc;
        fillSmall(doc);
        const QString real = path("real.VR-12");
        QVERIFY(CWorkspaceFile::Save(doc, real).ok);
        QVERIFY(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner));
        const QString link = path("link.VR-12");
        QVERIFY(QFile::link(real, link));
        doc.InsertEmployee("2", {"B", "b"});
        QVERIFY(CWorkspaceFile::Save(doc, link).ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(fileBytes(real), QByteArray::fromStdString(CWorkspaceFile::Serialize(doc)));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(real).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0600));

        // A chain of links, the last one relative: every link stays, the file at its end is
        // written.
        QDir(TestWorld::instance()->root()).mkpath("chain");
        QVERIFY(QFile::link("../real.VR-12", path("chain/rel.VR-12")));
        QVERIFY(QFile::link(path("chain/rel.VR-12"), path("outer.VR-12")));
        doc.InsertEmployee("3", {"C", "c"});
        QVERIFY(CWorkspaceFile::Save(doc, path("outer.VR-12")).ok);
        QVERIFY(QFileInfo(path("outer.VR-12")).isSymLink());
        QVERIFY(QFileInfo(path("chain/rel.VR-12")).isSymLink());
        QCOMPARE(fileBytes(real), QByteArray::fromStdString(CWorkspaceFile::Serialize(doc)));

        // A link to a name that does not exist yet creates that file.
        QVERIFY(QFile::link(path("later.VR-12"), path("dangling.VR-12")));
        QVERIFY(CWorkspaceFile::Save(doc, path("dangling.VR-12")).ok);
        QVERIFY(QFileInfo(path("dangling.VR-12")).isSymLink());
        QCOMPARE(fileBytes(path("later.VR-12")), fileBytes(real));
    }

    void saveKeepsOwnerGroupAndMode() {
        CTarvexDoc doc;
        fillSmall(doc);
        const QString file = path("theirs.VR-12");
        QVERIFY(CWorkspaceFile::Save(doc, file).ok);
        const QByteArray name = QFile::encodeName(file);
        QCOMPARE(::chmod(name.constData(), 0640), 0);
        const bool root = ::geteuid() == 0;
        // Another user's file; only root can hand a file over, so others check the mode only.
        const uid_t owner = root ? 4321 : ::geteuid();
        const gid_t group = root ? 5432 : ::getegid();
        if (root)
            QCOMPARE(::chown(name.constData(), owner, group), 0);

        doc.InsertEmployee("2", {"B", "b"});
        QVERIFY(CWorkspaceFile::Save(doc, file).ok);
        QCOMPARE(fileBytes(file), QByteArray::fromStdString(CWorkspaceFile::Serialize(doc)));
        struct stat st {};
        QCOMPARE(::stat(name.constData(), &st), 0);
        QCOMPARE(st.st_uid, owner);
        QCOMPARE(st.st_gid, group);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        if (!root)
            QSKIP("owner and group checked with the saving user's own only (not root)");
    }

    void saveRefusesWhatIsNotARegularFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("character device") << "chardev";
        QTest::newRow("socket") << "socket";
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to a fifo") << "link";
    }
    void saveRefusesWhatIsNotARegularFile() {
        QFETCH(QString, kind);
        const QString folder = path("special-" + kind);
        QVERIFY(QDir().mkpath(folder));
        const QString node = folder + "/node.VR-12";
        const QByteArray name = QFile::encodeName(node);
        int socketFd = -1;
        if (kind == "fifo" || kind == "link") {
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        } else if (kind == "chardev") {
            // The null device's numbers; making a node needs root.
            if (::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("cannot make a device node here (not root)");
        } else if (kind == "socket") {
            socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QVERIFY(socketFd >= 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            QVERIFY(std::size_t(name.size()) < sizeof address.sun_path);
            std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
            QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(node));
        }
        QString target = node;
        if (kind == "link") {
            target = folder + "/link.VR-12";
            QVERIFY(QFile::link(node, target));
        }
        struct stat before {};
        QCOMPARE(::stat(name.constData(), &before), 0);

        CTarvexDoc doc;
        fillSmall(doc);
        const WorkspaceSaveResult r = CWorkspaceFile::Save(doc, target);
        if (socketFd >= 0)
            ::close(socketFd);
        QVERIFY(!r.ok);
        QVERIFY(r.notRegularFile);
        struct stat after {};
        QCOMPARE(::stat(name.constData(), &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_rdev, before.st_rdev);
        if (kind == "link")
            QVERIFY(QFileInfo(target).isSymLink());
        // No temporary file left behind.
        const QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::System |
                                                        QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left.size(), kind == "link" ? 2 : 1);
    }

    void loadingAPipeDoesNotWait() {
        const QByteArray name = QFile::encodeName(path("pipe.VR-12"));
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        CTarvexDoc doc;
        QElapsedTimer timer;
        timer.start();
        const WorkspaceLoadResult r = CWorkspaceFile::Load(path("pipe.VR-12"), doc);
        QVERIFY(r.failed());
        QVERIFY(r.reason.contains("pipe.VR-12"));
        QVERIFY(timer.elapsed() < 5000);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestWorkspaceFile)
#include "tst_workspacefile.moc"
