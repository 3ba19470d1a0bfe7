#include "photocommands.h"

#include "appsettings.h"
#include "cmdui.h"
#include "photoframe.h"
#include "resourceids.h"

bool CPhotoCommands::OnCommand(int id) {
    if (id != res::ID_VIEW_PHOTO)
        return false;
    CAppSettings& settings = CAppSettings::instance();
    settings.ShowPhoto = !settings.ShowPhoto;
    m_frame.setVisible(settings.ShowPhoto);
    return true;
}

bool CPhotoCommands::OnUpdateCommand(int id, CCmdUI& ui) {
    if (id != res::ID_VIEW_PHOTO)
        return false;
    CAppSettings& settings = CAppSettings::instance();
    if (!settings.UsePhoto)
        settings.ShowPhoto = false;
    ui.Enable(settings.UsePhoto);
    ui.SetCheck(settings.ShowPhoto);
    return true;
}
