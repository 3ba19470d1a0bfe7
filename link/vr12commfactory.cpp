#include "vr12commfactory.h"

#include "vr12comm.h"

#include <vr12comm/ivr12comm.h>

#include "resourceids.h"
#include "textformat.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>

#include <exception>

using namespace res;

using namespace vr12comm;

namespace {

QString& programFolderOverride() {
    static QString folder;
    return folder;
}

QString fileName() {
    return QString::fromLatin1(kPluginFileName);
}

} // namespace

CVr12CommFactory::CVr12CommFactory(const QString& folder) : m_folder(QDir::cleanPath(folder)) {}

// The loader is not unloaded: controls made from the module may outlive the factory.
CVr12CommFactory::~CVr12CommFactory() = default;

QString CVr12CommFactory::DefaultFolder() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/plugins");
}

CVr12CommFactory& CVr12CommFactory::Program() {
    static CVr12CommFactory factory(programFolderOverride().isEmpty() ? DefaultFolder()
                                                                      : programFolderOverride());
    return factory;
}

void CVr12CommFactory::SetProgramFolder(const QString& folder) {
    programFolderOverride() = folder;
}

QString CVr12CommFactory::Fail(const QString& why) {
    m_error =
        FormatString(IDS_LINK_CANNOT_BE_MADE, why, QDir::toNativeSeparators(m_folder), fileName());
    return m_error;
}

bool CVr12CommFactory::Load() {
    if (m_tried)
        return m_factory != nullptr;
    m_tried = true;
    const QFileInfo folder(m_folder);
    if (!folder.isDir()) {
        Fail(S(IDS_LINK_NO_FOLDER));
        return false;
    }
    const QString path = QDir(m_folder).filePath(fileName());
    if (!QFileInfo::exists(path)) {
        Fail(S(IDS_LINK_NOT_IN_FOLDER));
        return false;
    }
    m_loader = std::make_unique<QPluginLoader>(path);
    const QJsonObject meta = m_loader->metaData().value(QStringLiteral("MetaData")).toObject();
    if (meta.value(QStringLiteral("ProgID")).toString() != QLatin1String(kProgId)) {
        const QString reason = m_loader->errorString();
        Fail(FormatString(IDS_LINK_NOT_THE_MODULE, kTypeName) +
             (m_loader->metaData().isEmpty() ? QStringLiteral(" (%1)").arg(reason) : QString()));
        return false;
    }
    QObject* root = m_loader->instance();
    if (!root) {
        Fail(FormatString(IDS_LINK_DOES_NOT_LOAD, m_loader->errorString()));
        return false;
    }
    m_factory = qobject_cast<IVr12CommFactory*>(root);
    if (!m_factory) {
        Fail(S(IDS_LINK_NO_FACTORY));
        return false;
    }
    m_error.clear();
    return true;
}

QString CVr12CommFactory::CreateControl(CVr12Comm& wrapper, QWidget* parent) {
    if (!Load()) {
        wrapper.SetUnlinked(m_error);
        return m_error;
    }
    IVr12CommControl* control = nullptr;
    try {
        control = m_factory->createControl(parent);
    } catch (const std::exception&) {
        control = nullptr;
    } catch (...) {
        control = nullptr;
    }
    if (!control || !control->widget()) {
        // The module stays usable for later requests: the message is not kept as the factory's.
        const QString message = Fail(S(IDS_LINK_NO_CONTROL));
        m_error.clear();
        wrapper.SetUnlinked(message);
        return message;
    }
    wrapper.Attach(control);
    return {};
}
