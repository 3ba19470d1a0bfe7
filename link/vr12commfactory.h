#pragma once

#include <QPluginLoader>
#include <QString>

#include <memory>

class CVr12Comm;
class QWidget;

namespace vr12comm {
class IVr12CommFactory;
}

// Makes control instances from the control module libvr12comm.so in one folder. The module is
// loaded on the first request and kept for the rest of the process; a module that cannot be
// loaded is not tried again, and every request gets the same message.
class CVr12CommFactory {
public:
    explicit CVr12CommFactory(const QString& folder);
    ~CVr12CommFactory();
    CVr12CommFactory(const CVr12CommFactory&) = delete;
    CVr12CommFactory& operator=(const CVr12CommFactory&) = delete;

    // The program's plugins folder beside the executable.
    static QString DefaultFolder();
    // The process's factory, on DefaultFolder() unless SetProgramFolder() named another one
    // before its first use.
    static CVr12CommFactory& Program();
    static void SetProgramFolder(const QString& folder);

    QString Folder() const { return m_folder; }
    // Loads the module if that was not tried yet; false with the message in ErrorText().
    bool Load();
    QString ErrorText() const { return m_error; }

    // A new control as a child of `parent`, attached to `wrapper`. On failure the wrapper is
    // unlinked and the returned message (also its ErrorText()) names the folder searched and
    // the file expected; it is empty on success.
    QString CreateControl(CVr12Comm& wrapper, QWidget* parent);

private:
    QString Fail(const QString& why);

    QString m_folder;
    std::unique_ptr<QPluginLoader> m_loader;
    vr12comm::IVr12CommFactory* m_factory = nullptr;
    bool m_tried = false;
    QString m_error;
};
