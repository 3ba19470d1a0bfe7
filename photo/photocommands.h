#pragma once

#include "commandtarget.h"

class CPhotoFrame;

// Toggle photograph: flips ShowPhoto and shows or hides the photo window. Enabled only while
// photos are in use; with them off, ShowPhoto falls back to off.
class CPhotoCommands : public ICommandTarget {
public:
    explicit CPhotoCommands(CPhotoFrame& frame) : m_frame(frame) {}

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CCmdUI& ui) override;

private:
    CPhotoFrame& m_frame;
};
