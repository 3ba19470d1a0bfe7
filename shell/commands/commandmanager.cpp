#include "commandmanager.h"

#include "catalogue.h"
#include "resourceids.h"

#include <QAction>
#include <QApplication>
#include <QBitmap>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>
#include <QToolBar>
#include <QWidget>

using namespace res;

namespace {
// Menus whose commands get actions, in the order that decides an action's own text.
constexpr int kMenus[] = {IDR_MAINFRAME,    IDR_MENU_TRAY, IDR_MENU_EMP,  IDR_MENU_TERM,
                          IDR_MENU_TERMEMP, IDR_MENU_REG,  IDR_MENU_PHOTO};

void collect(const CMenuItem& item, std::map<int, QString>& texts) {
    if (item.id > 0)
        texts.emplace(item.id, item.text);
    for (const CMenuItem& child : item.items)
        collect(child, texts);
}

bool isCheckable(int id) {
    return id == ID_VIEW_TOOLBAR || id == ID_VIEW_STATUS_BAR || id == ID_VIEW_PHOTO;
}

QKeySequence shortcutOf(int id) {
    switch (id) {
    case ID_EMP_SELECTALL:
        return QKeySequence(Qt::CTRL | Qt::Key_A);
    case ID_COPY_MEDIAID:
        return QKeySequence(Qt::CTRL | Qt::Key_C);
    case ID_EMP_SELECTNOTIN:
        return QKeySequence(Qt::CTRL | Qt::Key_N);
    case ID_EMP_SELECTIN:
        return QKeySequence(Qt::CTRL | Qt::Key_T);
    case ID_NEXT_PANE:
        return QKeySequence(Qt::Key_F6);
    case ID_PREV_PANE:
        return QKeySequence(Qt::SHIFT | Qt::Key_F6);
    default:
        return {};
    }
}

// The toolbar's pictures: button n of toolbar 128 is image n of its strip, magenta transparent.
std::map<int, QIcon> toolbarIcons() {
    std::map<int, QIcon> icons;
    const CToolBarResource bar = CCatalogue::instance().toolBar(IDR_MAINFRAME);
    const QImage strip = CCatalogue::instance().image(bar.bitmap);
    if (strip.isNull())
        return icons;
    int n = 0;
    for (int id : bar.buttons) {
        if (!id)
            continue;
        const QImage cell = strip.copy(n * bar.buttonWidth, 0, bar.buttonWidth, bar.buttonHeight);
        ++n;
        QPixmap pm = QPixmap::fromImage(cell);
        pm.setMask(
            QBitmap::fromImage(cell.createMaskFromColor(qRgb(255, 0, 255), Qt::MaskInColor)));
        icons.emplace(id, QIcon(pm));
    }
    return icons;
}
} // namespace

CCommandManager::CCommandManager(QWidget* owner) : QObject(owner), m_owner(owner) {
    buildActions();
}

CCommandManager::~CCommandManager() = default;

QAction* CCommandManager::makeAction(int id, const QString& text, QObject* parent) {
    auto* a = new QAction(text, parent);
    a->setData(id);
    const CCatalogue& cat = CCatalogue::instance();
    a->setStatusTip(cat.commandPrompt(id));
    const QString tip = cat.commandToolTip(id);
    a->setToolTip(tip.isEmpty() ? QString(text).remove(QLatin1Char('&')) : tip);
    a->setCheckable(isCheckable(id));
    a->setMenuRole(QAction::NoRole);
    connect(a, &QAction::triggered, this, [this, id] { execute(id); });
    return a;
}

void CCommandManager::buildActions() {
    const CCatalogue& cat = CCatalogue::instance();
    std::map<int, QString> texts;
    for (int menuId : kMenus)
        for (const CMenuItem& popup : cat.menu(menuId))
            collect(popup, texts);
    for (int id : cat.toolBar(IDR_MAINFRAME).buttons)
        if (id)
            texts.emplace(id, cat.commandToolTip(id));
    for (int i = 1; i < ID_FILE_MRU_COUNT; ++i)
        texts.emplace(ID_FILE_MRU_FILE1 + i, QString());
    texts.emplace(ID_NEXT_PANE, cat.commandToolTip(ID_NEXT_PANE));
    texts.emplace(ID_PREV_PANE, cat.commandToolTip(ID_PREV_PANE));

    const std::map<int, QIcon> icons = toolbarIcons();
    for (const auto& [id, text] : texts) {
        QAction* a = makeAction(id, text, this);
        if (auto it = icons.find(id); it != icons.end())
            a->setIcon(it->second);
        if (const QKeySequence key = shortcutOf(id); !key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
            if (m_owner)
                m_owner->addAction(a);
        }
        a->setEnabled(false);
        m_actions.emplace(id, a);
    }
}

QAction* CCommandManager::action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

std::vector<int> CCommandManager::commandIds() const {
    std::vector<int> ids;
    for (const auto& entry : m_actions)
        ids.push_back(entry.first);
    return ids;
}

std::vector<ICommandTarget*> CCommandManager::route() const {
    std::vector<ICommandTarget*> targets;
    // The focused pane: the nearest command target above the owner's focus widget.
    if (m_owner) {
        for (QWidget* w = m_owner->focusWidget(); w && w != m_owner; w = w->parentWidget()) {
            if (auto* t = dynamic_cast<ICommandTarget*>(w)) {
                targets.push_back(t);
                break;
            }
        }
    }
    std::vector<ICommandTarget*> rest{m_document};
    rest.insert(rest.end(), m_workspaceTargets.begin(), m_workspaceTargets.end());
    rest.push_back(m_frame);
    rest.push_back(m_application);
    for (ICommandTarget* t : rest)
        if (t && std::find(targets.begin(), targets.end(), t) == targets.end())
            targets.push_back(t);
    return targets;
}

void CCommandManager::addWorkspaceTarget(ICommandTarget* target) {
    if (target && std::find(m_workspaceTargets.begin(), m_workspaceTargets.end(), target) ==
                      m_workspaceTargets.end())
        m_workspaceTargets.push_back(target);
}

void CCommandManager::removeWorkspaceTarget(ICommandTarget* target) {
    std::erase(m_workspaceTargets, target);
}

CCmdUI CCommandManager::query(int id) const {
    for (ICommandTarget* t : route()) {
        CCmdUI ui(id);
        if (t->OnUpdateCommand(id, ui))
            return ui;
    }
    CCmdUI none(id);
    none.Enable(false);
    return none;
}

bool CCommandManager::execute(int id) {
    const CCmdUI state = query(id);
    if (!state.enabled()) {
        updateAll();
        return false;
    }
    for (ICommandTarget* t : route()) {
        if (t->OnCommand(id)) {
            emit commandExecuted(id);
            updateAll();
            return true;
        }
    }
    return false;
}

void CCommandManager::applyState(QAction* a, const CCmdUI& ui) const {
    if (a->isEnabled() != ui.enabled())
        a->setEnabled(ui.enabled());
    if (a->isCheckable() && a->isChecked() != ui.checked())
        a->setChecked(ui.checked());
}

void CCommandManager::updateAll() {
    for (auto& [id, a] : m_actions)
        applyState(a, query(id));
    for (auto it = m_copies.begin(); it != m_copies.end();) {
        if (!it->second) {
            it = m_copies.erase(it);
            continue;
        }
        applyState(it->second, query(it->first));
        ++it;
    }
}

void CCommandManager::setIdleInterval(int ms) {
    if (ms <= 0) {
        delete m_idle;
        m_idle = nullptr;
        return;
    }
    if (!m_idle) {
        m_idle = new QTimer(this);
        connect(m_idle, &QTimer::timeout, this, &CCommandManager::updateAll);
    }
    m_idle->start(ms);
}

void CCommandManager::fillMenu(QMenu* menu, const CMenuItem& popup) {
    for (const CMenuItem& item : popup.items) {
        if (item.isSeparator()) {
            menu->addSeparator();
        } else if (item.isPopup()) {
            QMenu* sub = menu->addMenu(item.text);
            fillMenu(sub, item);
        } else {
            QAction* own = action(item.id);
            if (own && own->text() == item.text) {
                menu->addAction(own);
            } else {
                QAction* copy = makeAction(item.id, item.text, menu);
                if (own)
                    copy->setIcon(own->icon());
                copy->setEnabled(own && own->isEnabled());
                menu->addAction(copy);
                m_copies.emplace(item.id, copy);
            }
        }
    }
    // Enabling is fresh whenever a menu opens.
    connect(menu, &QMenu::aboutToShow, this, &CCommandManager::updateAll);
}

QMenu* CCommandManager::createPopup(int menuId, int popupIndex, QWidget* parent) {
    const CMenuResource resource = CCatalogue::instance().menu(menuId);
    if (popupIndex < 0 || popupIndex >= int(resource.size()))
        return nullptr;
    auto* menu = new QMenu(resource[popupIndex].text, parent);
    fillMenu(menu, resource[popupIndex]);
    return menu;
}

void CCommandManager::fillMenuBar(QMenuBar* bar, int menuId) {
    bar->clear();
    for (const CMenuItem& popup : CCatalogue::instance().menu(menuId)) {
        QMenu* menu = bar->addMenu(popup.text);
        fillMenu(menu, popup);
    }
}

void CCommandManager::fillToolBar(QToolBar* bar, int toolBarId) {
    bar->clear();
    for (int id : CCatalogue::instance().toolBar(toolBarId).buttons) {
        if (!id)
            bar->addSeparator();
        else if (QAction* a = action(id))
            bar->addAction(a);
    }
}

int CCommandManager::trackPopupMenu(int menuId, const QPoint& globalPos, QWidget* owner) {
    QMenu* menu = createPopup(menuId, 0, owner ? owner : m_owner);
    if (!menu)
        return 0;
    updateAll();
    QAction* chosen = menu->exec(globalPos);
    const int id = chosen ? chosen->data().toInt() : 0;
    menu->deleteLater();
    return id;
}
