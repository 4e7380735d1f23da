#pragma once

#include "common/messages.h"
#include "takings/receipt.h"

#include <QString>

#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPrintPreviewDialog;
class QPrinter;
class QSettings;
class QWidget;

namespace cuemora {

// What is printed: a receipt at the desk, or the close of a day, which a room often prints on
// another printer and another paper. Each remembers its own printer and paper.
enum class PrintKind { Receipt, DayClose };

// Lays the receipt out for the paper and paints it on the device (a printer, the preview, a PDF):
// the page is set to the paper's width, a roll as long as the receipt, an A4 page by the sheet. The
// text is printed in a monospaced font sized so that a line of the paper holds its characters.
// False when nothing could be painted (the device would not start).
bool paintReceipt(QPagedPaintDevice& device, const Receipt& receipt, PaperWidth paper);

// The receipt as a PDF document, in memory.
QByteArray receiptPdf(const Receipt& receipt, PaperWidth paper, const QString& title);

// The desk's printing: the preview before anything is printed, and what the room chose last time
// (its name on the receipts, the printer and the paper of each kind), kept in the program's
// settings file. Owned by the main window and shared by the windows that print.
class Printing {
public:
    // Gives the receipt for the room's name as it stands at the moment of painting.
    using ReceiptSource = std::function<Receipt(const QString& roomName)>;
    // Runs the preview dialog and answers how it ended (QDialog::Accepted once printed).
    using PreviewRunner = std::function<int(QPrintPreviewDialog& dialog, QPrinter& printer)>;
    // Asks where to save a file: the caption, the suggested file name and the filter; the empty
    // text when the operator cancels.
    using SaveDialog = std::function<QString(QWidget* parent, const QString& caption, const QString& suggested,
                                             const QString& filter)>;

    explicit Printing(MessageService& messages);
    ~Printing();

    // The settings file: by default the user's configuration of Cuemora; a test gives its own.
    void useSettingsFile(const QString& path);
    void setPreviewRunner(PreviewRunner runner);
    void setSaveDialog(SaveDialog dialog);

    // The room's name on every receipt; defaultRoomName() until one is set.
    QString roomName() const;
    void setRoomName(const QString& name);
    PaperWidth paper(PrintKind kind) const;
    void setPaper(PrintKind kind, PaperWidth paper);
    QString printerName(PrintKind kind) const;

    // The preview of what `source` gives, with the paper and the room's name to choose above it;
    // printing from it goes to the printer chosen last time for this kind, which is then
    // remembered. With a PDF name, the preview also offers "存为PDF", suggesting that name.
    void PreviewAndPrint(QWidget* parent, PrintKind kind, const QString& title, const ReceiptSource& source,
                         const QString& pdfName = {});

    // Asks where, then writes the PDF whole or not at all; a failure is told with its reason.
    // True when the file was written.
    bool SavePdf(QWidget* parent, const Receipt& receipt, PaperWidth paper, const QString& suggestedName);

    // Asks where to save through the save dialog (QFileDialog unless a test gave another).
    QString askSavePath(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter) const;

private:
    std::unique_ptr<QSettings> settings() const;
    void setPrinterName(PrintKind kind, const QString& name);

    MessageService& m_messages;
    QString m_settingsFile;
    PreviewRunner m_runPreview;
    SaveDialog m_saveDialog;
};

} // namespace cuemora
