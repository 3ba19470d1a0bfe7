#pragma once

#include <QPointer>
#include <QString>

#include <string>

class CTarvexDoc;
struct CTermRecord;

// What the workspace needs of a controller's live panel. The desktop form implements it over
// its window; CStoredPanel implements it without one. Texts are byte strings.
class ITermPanel {
public:
    // Tells the document that created the panel, so that a window going away with the frame
    // leaves no reference behind in that document.
    virtual ~ITermPanel();

    // Fills the panel from the controller's record and opens its link. The COM port is the
    // record's key in the workspace, so it comes separately.
    virtual void Bind(int comPort, const CTermRecord& record) = 0;

    // The live values the workspace file is written from.
    virtual int Relay1Time() const = 0;
    virtual int Relay2Time() const = 0;
    virtual std::string Master() const = 0;
    virtual std::string MasterName() const = 0;
    virtual std::string Firmware() const = 0;

    // Points the panel's link at another registrations file (the month or the folder changed).
    // A panel without a link has nothing to point.
    virtual void SetRegistrationsFile(const QString& /*path*/) {}

    virtual bool HasWindow() const = 0;
    // Destroys the panel's window, which frees the panel itself: the pointer is dead afterwards.
    virtual void DestroyWindow() = 0;

protected:
    // The document that created and bound the panel, the one its edits go to (nullptr before
    // binding and after that document went).
    CTarvexDoc* OwnerDocument() const;

private:
    friend class CTarvexDoc;
    // Guarded: a document that goes first must not be told anything.
    QPointer<CTarvexDoc> m_owner;
};
