// Measures, each in a fresh child process so that memory figures are not blurred by earlier
// phases: save and load of 100,000 employees plus 255 controllers of 255 table entries, the
// text import of 100,000 lines, and tarvexctl import-csv end to end.
//
//   bench_workspace [WORKDIR]
//
// Memory: "model" is the resident memory the loaded workspace keeps; "peak" is the highest
// resident memory above the baseline while the operation ran (VmHWM, reset through
// /proc/self/clear_refs).

#include "childphases.h"
#include "csvimport.h"
#include "mediaid.h"
#include "tarvexdoc.h"
#include "workspacefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr int kEmployees = 100000;
constexpr int kControllers = 255;
constexpr int kEntries = 255;
constexpr int kCsvLines = 100000;

// Starts a new peak measurement from the current resident size.
long resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKb("VmRSS");
}

std::string mediaId(int i, int type) {
    char raw[9];
    std::snprintf(raw, sizeof raw, "%08X", unsigned(i) * 2654435761u);
    return *NormalizeMediaId(raw, type);
}

void fill(CTarvexDoc& doc) {
    char buf[64];
    for (int i = 0; i < kEmployees; ++i) {
        CEmpRecord e;
        std::snprintf(buf, sizeof buf, "Lastname%06d", i);
        e.LastName = buf;
        std::snprintf(buf, sizeof buf, "First%06d", i);
        e.FirstName = buf;
        doc.InsertEmployee(mediaId(i, MediaIButton), std::move(e));
    }
    for (int port = 1; port <= kControllers; ++port) {
        CTermRecord r;
        std::snprintf(buf, sizeof buf, "Door %d", port);
        r.Name = buf;
        r.ID = port;
        r.Code = 1000 + port;
        r.Relay1Time = port % 8;
        r.Relay2Time = (port + 3) % 8;
        r.Master = mediaId(port, MediaIButton);
        r.MasterName = "Lastname First";
        r.Firmware = "VR-12 v2.01";
        for (int k = 0; k < kEntries; ++k) {
            std::snprintf(buf, sizeof buf, "%02X", k);
            r.IdTable.try_emplace(mediaId(port * 1000 + k, MediaRfCard), buf);
        }
        doc.InsertController(port, std::move(r));
    }
    doc.CreateAllPanels();
}

void writeCsv(const QString& path) {
    std::ofstream out(QFile::encodeName(path).constData(), std::ios::binary);
    out << "MediaID,LastName,FirstName\r\n";
    char line[96];
    for (int i = 1; i < kCsvLines; ++i) {
        std::snprintf(line, sizeof line, "%08X,Importname%06d,Given%06d\r\n",
                      unsigned(i) * 2246822519u, i, i);
        out << line;
    }
}

int childGenerate(const QString& dir) {
    CTarvexDoc doc;
    fill(doc);
    const auto t = std::chrono::steady_clock::now();
    const WorkspaceSaveResult r = CWorkspaceFile::Save(doc, dir + "/big.VR-12");
    const double s = seconds(t);
    if (!r.ok) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(r.reason));
        return 1;
    }
    writeCsv(dir + "/staff.csv");
    std::printf("generated: save of a freshly built workspace %.3f s, file %lld bytes\n", s,
                static_cast<long long>(QFileInfo(dir + "/big.VR-12").size()));
    return 0;
}

int childLoad(const QString& dir) {
    CTarvexDoc doc;
    const long base = resetPeak();
    const auto t = std::chrono::steady_clock::now();
    const WorkspaceLoadResult r = CWorkspaceFile::Load(dir + "/big.VR-12", doc);
    const double s = seconds(t);
    if (r.status != WorkspaceLoadResult::Status::Ok) {
        std::fprintf(stderr, "load failed: %s\n", qPrintable(r.reason));
        return 1;
    }
    const long model = statusKb("VmRSS") - base;
    const long peak = statusKb("VmHWM") - base;
    std::printf("load: %.3f s [target < 0.5 s] (%zu employees, %zu controllers); model %ld KiB, "
                "peak %ld KiB, "
                "peak/model %.2f [target < 3]\n",
                s, doc.Employees().size(), doc.Controllers().size(), model, peak,
                double(peak) / double(model));

    const long beforeSave = resetPeak();
    const auto t2 = std::chrono::steady_clock::now();
    const WorkspaceSaveResult saved = CWorkspaceFile::Save(doc, dir + "/resaved.VR-12");
    const double s2 = seconds(t2);
    if (!saved.ok) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(saved.reason));
        return 1;
    }
    const long savePeak = statusKb("VmHWM") - base;
    std::printf("save: %.3f s [target < 0.5 s] (with fsync); peak %ld KiB above the empty baseline "
                "(%ld KiB above the loaded model), peak/model %.2f\n",
                s2, savePeak, statusKb("VmHWM") - beforeSave, double(savePeak) / double(model));
    return 0;
}

int childImport(const QString& dir) {
    CTarvexDoc doc;
    const long base = resetPeak();
    CsvImportSettings settings;
    settings.path = dir + "/staff.csv";
    settings.mediaIdColumn = 0;
    settings.lastNameColumn = 1;
    settings.firstNameColumn = 2;
    const auto t = std::chrono::steady_clock::now();
    const CsvImportResult r = ImportCsvFile(settings, doc);
    const double s = seconds(t);
    const long model = statusKb("VmRSS") - base;
    const long peak = statusKb("VmHWM") - base;
    std::printf("import (in process): %.3f s, total %d, imported %d; model %ld KiB, peak %ld "
                "KiB, peak/model %.2f\n",
                s, r.total, r.imported, model, peak, double(peak) / double(model));
    return r.opened ? 0 : 1;
}

int runTarvexctl(const QString& dir) {
    const QString ctl = QCoreApplication::applicationDirPath() + "/tarvexctl";
    if (!QFileInfo::exists(ctl)) {
        std::printf("tarvexctl import-csv: not measured (%s not built)\n", qPrintable(ctl));
        return 0;
    }
    QFile::remove(dir + "/imported.VR-12");
    QProcess p;
    const auto t = std::chrono::steady_clock::now();
    p.start(ctl, {"import-csv", dir + "/imported.VR-12", dir + "/staff.csv", "--mediaid", "0",
                  "--lastname", "1", "--firstname", "2"});
    p.waitForFinished(-1);
    const double s = seconds(t);
    const QByteArray out = p.readAllStandardOutput().replace('\n', ", ");
    std::printf("tarvexctl import-csv of %d lines into a new workspace (process start to exit): "
                "%.3f s [target < 1 s]; %s\n",
                kCsvLines, s, out.constData());
    return p.exitCode();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (const int status = runChildPhase(
            args, {{"generate", childGenerate}, {"load", childLoad}, {"import", childImport}});
        status >= 0)
        return status;
    QTemporaryDir temp;
    const QString dir = args.size() > 1 ? args[1] : temp.path();
    QDir().mkpath(dir);
    int rc = runChild("generate", dir);
    for (int round = 0; rc == 0 && round < 3; ++round) {
        std::printf("round %d\n", round + 1);
        std::fflush(stdout);
        rc |= runChild("load", dir);
        rc |= runChild("import", dir);
        rc |= runTarvexctl(dir);
        std::fflush(stdout);
    }
    return rc;
}
