#pragma once

#include <functional>
#include <memory>

class QString;

class CAppTrace;
class CControllerOperations;
class CDialogPrompts;
class CDocumentFlow;
class CEditCommands;
class CHistoryCommands;
class CImportCommands;
class CLanguageList;
class CLanguagesCommand;
class CMainFrame;
class CPhotoFrame;
class CRecentFileList;
class CTarvexDoc;
class ICommandTarget;
class IUserPrompts;

// The workspace with its document flow, the main window that hosts it and the commands that
// work on them: the editing, import, language, controller and history commands beside the
// photo's and the application's own.
class CWorkspaceWindow {
public:
    struct Context {
        CAppTrace& trace;
        IUserPrompts& prompts;
        // The message boxes: owned by the main window while it exists.
        CDialogPrompts& dialogPrompts;
        CRecentFileList& recent;
        const CLanguageList& languages;
        CPhotoFrame& photo;
        ICommandTarget& photoCommands;
        ICommandTarget& application;
        // Writes all settings (the import remembers its file or connection).
        std::function<void()> saveSettings;
    };

    explicit CWorkspaceWindow(Context context);
    ~CWorkspaceWindow();
    CWorkspaceWindow(const CWorkspaceWindow&) = delete;
    CWorkspaceWindow& operator=(const CWorkspaceWindow&) = delete;

    // The document, its flow and the main window with its bars, panes and commands, and the
    // workspace's file type. False when the window could not be created.
    bool Create();
    // Closes the workspace's panels, then destroys the main window; the document stays.
    void DestroyMainWindow();

    CTarvexDoc* document() const { return m_doc.get(); }
    CDocumentFlow* flow() const { return m_flow.get(); }
    CMainFrame* frame() const { return m_frame.get(); }
    CHistoryCommands* history() const { return m_history.get(); }

private:
    // Show employee from the history: the employee selected in the list and the window up.
    void showEmployee(const QString& mediaId);

    Context m_context;
    std::unique_ptr<CTarvexDoc> m_doc;
    std::unique_ptr<CDocumentFlow> m_flow;
    std::unique_ptr<CImportCommands> m_importCommands;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CEditCommands> m_edit;
    std::unique_ptr<CLanguagesCommand> m_languagesCommand;
    std::unique_ptr<CControllerOperations> m_operations;
    std::unique_ptr<CHistoryCommands> m_history;
};
