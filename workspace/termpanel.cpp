#include "termpanel.h"

#include "tarvexdoc.h"

ITermPanel::~ITermPanel() {
    if (m_owner)
        m_owner->PanelGone(this);
}

CTarvexDoc* ITermPanel::OwnerDocument() const {
    return m_owner.data();
}
