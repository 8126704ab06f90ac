// Message boxes and the error table: every failure of a front end is shown through ReportError,
// which turns a code into a localized message box.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qor/frontend/analyzer.h"

namespace qor::frontend {

enum class MessageIcon { None, Warning, Stop };

// One message box with an OK button.
struct MessageRequest {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    bool systemModal = false;
    friend bool operator==(const MessageRequest&, const MessageRequest&) = default;
};

// Shows message boxes; the GUI implements it with real windows, tests record the requests.
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    // Shows the box and returns when it has been closed.
    virtual void show(const MessageRequest& request) = 0;
};

// How a row of the error table builds its text from its texts and the argument.
enum class MessageForm {
    Text,              // the text alone
    TextArgument,      // the text followed by the argument
    ArgumentText,      // the argument followed by the text
    TextArgumentText,  // the text, the argument and a second text
};

struct ErrorRow {
    int code;
    int number;  // message number of the text; 0 = not localized
    std::string_view text;
    MessageForm form;
    MessageIcon icon;
    int secondNumber = 0;
    std::string_view secondText = {};
};

// The error table of a front end; nullopt for a code that is not in it.
std::optional<ErrorRow> FindErrorRow(Analyzer analyzer, int code);
// Every row of a front end's table, in code order.
std::vector<ErrorRow> ErrorTable(Analyzer analyzer);

// The message box title, error reporting and the standard file messages of one front end.
class Messages {
  public:
    // The application title starts as the localized title, so that a message before start-up
    // has fetched it still has a complete title.
    Messages(Analyzer analyzer, MessageBox& box);

    Analyzer analyzer() const { return analyzer_; }
    MessageBox& box() { return box_; }

    // Fetches the localized application title again (at start-up of the main window).
    void FetchApplicationTitle();
    const std::string& applicationTitle() const { return applicationTitle_; }

    // The editing function chosen last, from its menu caption (the access-key marker "&" is
    // removed, "&&" stands for one "&"); an empty caption clears it.
    void SetCurrentFunction(std::string_view menuCaption);
    const std::string& currentFunction() const { return currentFunction_; }

    // "Qor32 - " (localized), the application title, " (", the current function, ")".
    std::string Title() const;
    // The text ReportError shows for a code, and its icon.
    MessageRequest ErrorMessage(int code, std::string_view argument) const;
    // Shows the message of a code with its argument; never fails.
    void ReportError(int code, std::string_view argument = {});

    // The standard file messages: the localized "Can't read file: " or "Can't create/write to
    // file: " followed by the path, titled with the text of the error that caused them.
    void ReportReadError(std::string_view path, std::string_view errorText);
    void ReportWriteError(std::string_view path, std::string_view errorText);

  private:
    Analyzer analyzer_;
    MessageBox& box_;
    std::string applicationTitle_;
    std::string currentFunction_;
};

}  // namespace qor::frontend
