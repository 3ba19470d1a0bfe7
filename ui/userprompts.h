#pragma once

#include <QString>

#include <optional>

class QWidget;

// The questions and messages of the application and the document flow. The desktop shows
// message boxes and file dialogs; tests answer through their own implementation.
class IUserPrompts {
public:
    enum Answer { Yes, No, Cancel };
    virtual ~IUserPrompts() = default;

    // "Save changes to ...?" with Yes, No and Cancel.
    virtual Answer askSaveChanges(const QString& text) = 0;
    // Empty when cancelled.
    virtual QString openFileName(const QString& filter) = 0;
    virtual QString saveFileName(const QString& filter, const QString& suggested) = 0;
    // A failure, with a stop icon.
    virtual void stop(const QString& text) = 0;
    // Something went wrong but the program goes on, with a warning icon.
    virtual void warning(const QString& text) { stop(text); }
    // An outcome to take note of, with an information icon; a notice is the same without one.
    virtual void information(const QString& text) { warning(text); }
    virtual void notice(const QString& text) { information(text); }
    // A question with Yes and No. Cancel when it went unanswered (closed from outside, or
    // nobody to ask), so the caller can leave things as they are.
    virtual Answer askYesNo(const QString&) { return Cancel; }
    // A confirmation with OK and Cancel and a question icon; true only for OK.
    virtual bool askOkCancel(const QString&) { return false; }
    // The start-up language warning, its "Show this warning again" box set from showAgain:
    // the box's state when closed with OK, nothing when closed another way or nobody to ask.
    virtual std::optional<bool> languageWarning(bool /*showAgain*/) { return std::nullopt; }
};

// Message boxes and file dialogs owned by the main window.
class CDialogPrompts : public IUserPrompts {
public:
    void setOwner(QWidget* owner) { m_owner = owner; }
    Answer askSaveChanges(const QString& text) override;
    QString openFileName(const QString& filter) override;
    QString saveFileName(const QString& filter, const QString& suggested) override;
    void stop(const QString& text) override;
    void warning(const QString& text) override;
    void information(const QString& text) override;
    void notice(const QString& text) override;
    Answer askYesNo(const QString& text) override;
    bool askOkCancel(const QString& text) override;
    std::optional<bool> languageWarning(bool showAgain) override;

private:
    QWidget* m_owner = nullptr;
};
