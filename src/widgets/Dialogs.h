#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;

namespace kora {

struct LookupMessage;

// Every message box of the program goes through here, so that tests can
// answer them by script instead of a person.
class Dialogs
{
public:
    struct Request
    {
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::Icon icon;
    };
    using Script = std::function<QMessageBox::StandardButton(const Request&)>;

    // A file or folder chooser: what the caller asks for and what came back.
    struct FileRequest
    {
        enum class Kind
        {
            Open,
            Save,
            Folder
        };
        Kind kind = Kind::Open;
        QString title;
        QString directory;
        QString fileName;      // preset in the name field
        QStringList filters;   // name filters, "Text Files (*.txt)"
        int filterIndex = 0;   // 0-based index of the preselected filter
        QString defaultSuffix; // appended when the user types no extension
        bool multiSelect = false;
        bool confirmOverwrite = true;
    };
    struct FileAnswer
    {
        bool accepted = false;
        QStringList files;   // full paths; the folder for a folder chooser
        int filterIndex = 0; // the filter selected when the user accepted
    };
    using FileScript = std::function<FileAnswer(const FileRequest&)>;

    // The title of messages that carry no title of their own.
    static QString defaultTitle() { return QStringLiteral("KORA"); }

    static QMessageBox::StandardButton
    ask(QWidget* parent, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static void tell(QWidget* parent, const QString& title, const QString& text,
                     QMessageBox::Icon icon = QMessageBox::Information);
    // A message of the lookup code; an empty title is the program's own.
    static void tell(QWidget* parent, const LookupMessage& message);

    // Tests install a script that answers instead of a message box; an empty
    // script shows real message boxes again.
    static void setScript(Script script);

    // Shows a non-native file dialog (or the installed file script) and
    // returns the user's choice.
    static FileAnswer chooseFile(QWidget* parent, const FileRequest& request);
    static void setFileScript(FileScript script);

    // The printer dialog in its set-up form: printer, paper and copies are
    // chosen for the printer given. True when the user accepted; tests install
    // a script that sets up the printer instead.
    using PrinterScript = std::function<bool(QPrinter&)>;
    static bool setUpPrinter(QWidget* parent, QPrinter& printer);
    static void setPrinterScript(PrinterScript script);

private:
    static Script& script();
    static FileScript& fileScript();
    static PrinterScript& printerScript();
};

} // namespace kora
