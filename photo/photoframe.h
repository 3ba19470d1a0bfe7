#pragma once

#include "commandtarget.h"

#include <QMainWindow>

#include <functional>

class CADODataBase;
class CCommandManager;
class CPhotoView;

// The photo window: a top-level window that stays on top, with its own File menu and status
// bar around the photo view. It lives for the whole run and is only shown and hidden; its
// close box and File, Close hide it and switch ShowPhoto off.
class CPhotoFrame : public QMainWindow, public ICommandTarget {
    Q_OBJECT
public:
    explicit CPhotoFrame(QWidget* parent = nullptr);
    ~CPhotoFrame() override;

    // Menu bar, status bar and view, then the bar layout "BarsPhoto". False when a part could
    // not be made.
    bool Create();

    CPhotoView* view() const { return m_view; }
    CCommandManager& commands() { return *m_commands; }
    void setDatabase(std::function<CADODataBase*()> database);

    // Shows the MediaID's photo with the caption in front of the name; does not show the
    // window.
    void SetPhoto(const QString& mediaId, const QString& caption);
    // The photo database was reopened.
    void OnPhotoDatabaseReopened();

    // The first showing of the run applies "PlacementPhoto" when one is stored.
    void setVisible(bool visible) override;

    // Writes "BarsPhoto" and "PlacementPhoto" (once a showing of this run has placed it).
    void SaveWindowState();

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void hideByUser();

    CCommandManager* m_commands;
    CPhotoView* m_view = nullptr;
    bool m_firstShow = true;
};
