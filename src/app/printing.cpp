#include "app/printing.h"

#include "common/safe_save.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QToolBar>

#include <algorithm>

namespace cuemora {

namespace {

// A sheet of the paper, in millimetres: its width, the margins the printer cannot print on and, on
// a roll, what is fed past the tear bar after the last line.
struct PaperFrame {
    double width;
    double side;
    double top;
    double tail;
    bool roll;
};

PaperFrame frameOf(PaperWidth paper) {
    switch (paper) {
    case PaperWidth::Roll58mm:
        return {58.0, 5.0, 3.0, 10.0, true};
    case PaperWidth::Roll80mm:
        return {80.0, 4.0, 3.0, 10.0, true};
    case PaperWidth::A4:
        return {210.0, 20.0, 20.0, 20.0, false};
    }
    return {58.0, 5.0, 3.0, 10.0, true};
}

// A monospaced face that holds Chinese, in which a Chinese character is as wide as two Latin
// ones: the layout counts cells that way.
QFont receiptFont() {
    const QString mono = QStringLiteral("WenQuanYi Micro Hei Mono");
    QFont font = QFontDatabase::hasFamily(mono) ? QFont(mono) : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setKerning(false);
    return font;
}

// The font at the size at which one cell is `cell` device pixels wide.
QFont fontForCell(QFont font, double cell, QPaintDevice& device) {
    font.setPointSizeF(10.0);
    const double advance = QFontMetricsF(font, &device).horizontalAdvance(QLatin1Char('0'));
    if (advance > 0.0)
        font.setPointSizeF(10.0 * cell / advance);
    return font;
}

// The pieces of a laid-out line between its wide gaps, each with the cell it starts at: each is
// put at its own cell, so that the columns stand where the layout put them whatever the font's
// real widths, and each stays one run of text for a reader of the PDF.
struct Piece {
    int cell;
    QString text;
};

QList<Piece> piecesOf(const QString& line) {
    static const QRegularExpression piece(QStringLiteral("\\S+(?: \\S+)*"));
    QList<Piece> pieces;
    for (auto it = piece.globalMatch(line); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        pieces.append({textCells(line.left(match.capturedStart())), match.captured()});
    }
    return pieces;
}

QString paperKey(PrintKind kind) {
    return kind == PrintKind::Receipt ? QStringLiteral("receipt/paper") : QStringLiteral("dayClose/paper");
}

QString printerKey(PrintKind kind) {
    return kind == PrintKind::Receipt ? QStringLiteral("receipt/printer") : QStringLiteral("dayClose/printer");
}

QString paperText(PaperWidth paper) {
    switch (paper) {
    case PaperWidth::Roll58mm:
        return QStringLiteral("58mm");
    case PaperWidth::Roll80mm:
        return QStringLiteral("80mm");
    case PaperWidth::A4:
        return QStringLiteral("A4");
    }
    return {};
}

const QList<PaperWidth>& allPapers() {
    static const QList<PaperWidth> papers{PaperWidth::Roll58mm, PaperWidth::Roll80mm, PaperWidth::A4};
    return papers;
}

QString paperCaption(PaperWidth paper) {
    switch (paper) {
    case PaperWidth::Roll58mm:
        return QStringLiteral("58毫米小票纸");
    case PaperWidth::Roll80mm:
        return QStringLiteral("80毫米小票纸");
    case PaperWidth::A4:
        return QStringLiteral("A4纸");
    }
    return {};
}

} // namespace

bool paintReceipt(QPagedPaintDevice& device, const Receipt& receipt, PaperWidth paper) {
    const PaperFrame frame = frameOf(paper);
    const int characters = paperCharacters(paper);
    const QList<LaidOutLine> lines = layOutReceipt(receipt, characters);

    const double pixelsPerMm = device.logicalDpiX() / 25.4;
    const double cell = (frame.width - 2.0 * frame.side) * pixelsPerMm / characters;
    const QFont normal = fontForCell(receiptFont(), cell, device);
    QFont bold = normal;
    bold.setBold(true);
    QFont heading = fontForCell(receiptFont(), 2.0 * cell, device);
    heading.setBold(true);
    const auto fontOf = [&](LaidOutLine::Style style) -> const QFont& {
        switch (style) {
        case LaidOutLine::Style::Heading:
            return heading;
        case LaidOutLine::Style::Emphasised:
            return bold;
        case LaidOutLine::Style::Normal:
            break;
        }
        return normal;
    };
    const auto lineHeight = [&](LaidOutLine::Style style) {
        return QFontMetricsF(fontOf(style), &device).lineSpacing();
    };

    QPageSize size(QPageSize::A4);
    if (frame.roll) {
        // A roll is cut where the receipt ends: the page is exactly as long as the lines.
        double height = 0.0;
        for (const LaidOutLine& line : lines)
            height += lineHeight(line.style);
        const double length = frame.top + height / pixelsPerMm + frame.tail;
        size =
            QPageSize(QSizeF(frame.width, length), QPageSize::Millimeter, paperCaption(paper), QPageSize::ExactMatch);
    }
    const QMarginsF margins(frame.side, frame.top, frame.side, frame.roll ? frame.tail : frame.top);
    device.setPageLayout(QPageLayout(size, QPageLayout::Portrait, margins, QPageLayout::Millimeter));

    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setPen(Qt::black);
    const double pageHeight = device.pageLayout().paintRectPixels(device.logicalDpiY()).height();
    double y = 0.0;
    for (const LaidOutLine& line : lines) {
        const double height = lineHeight(line.style);
        if (!frame.roll && y > 0.0 && y + height > pageHeight) {
            device.newPage();
            y = 0.0;
        }
        const QFont& font = fontOf(line.style);
        painter.setFont(font);
        const double ascent = QFontMetricsF(font, &device).ascent();
        const double width = line.style == LaidOutLine::Style::Heading ? 2.0 * cell : cell;
        for (const Piece& piece : piecesOf(line.text))
            painter.drawText(QPointF(piece.cell * width, y + ascent), piece.text);
        y += height;
    }
    return painter.end();
}

QByteArray receiptPdf(const Receipt& receipt, PaperWidth paper, const QString& title) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Cuemora"));
        writer.setTitle(title);
        if (!paintReceipt(writer, receipt, paper))
            return {};
    }
    return buffer.data();
}

Printing::Printing(MessageService& messages)
    : m_messages(messages) {}

Printing::~Printing() = default;

void Printing::useSettingsFile(const QString& path) {
    m_settingsFile = path;
}

void Printing::setPreviewRunner(PreviewRunner runner) {
    m_runPreview = std::move(runner);
}

void Printing::setSaveDialog(SaveDialog dialog) {
    m_saveDialog = std::move(dialog);
}

std::unique_ptr<QSettings> Printing::settings() const {
    if (!m_settingsFile.isEmpty())
        return std::make_unique<QSettings>(m_settingsFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("cuemora"),
                                       QStringLiteral("cuemora"));
}

QString Printing::roomName() const {
    const QString name = settings()->value(QStringLiteral("receipt/roomName")).toString();
    return name.trimmed().isEmpty() ? defaultRoomName() : name;
}

void Printing::setRoomName(const QString& name) {
    settings()->setValue(QStringLiteral("receipt/roomName"), name.trimmed());
}

PaperWidth Printing::paper(PrintKind kind) const {
    const QString text = settings()->value(paperKey(kind)).toString();
    for (PaperWidth paper : allPapers()) {
        if (paperText(paper) == text)
            return paper;
    }
    // A receipt goes on the desk's roll; the day's close on a sheet, to be filed.
    return kind == PrintKind::Receipt ? PaperWidth::Roll58mm : PaperWidth::A4;
}

void Printing::setPaper(PrintKind kind, PaperWidth paper) {
    settings()->setValue(paperKey(kind), paperText(paper));
}

QString Printing::printerName(PrintKind kind) const {
    return settings()->value(printerKey(kind)).toString();
}

void Printing::setPrinterName(PrintKind kind, const QString& name) {
    settings()->setValue(printerKey(kind), name);
}

QString Printing::askSavePath(QWidget* parent, const QString& caption, const QString& suggested,
                              const QString& filter) const {
    if (m_saveDialog)
        return m_saveDialog(parent, caption, suggested, filter);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QFileDialog::getSaveFileName(parent, caption, QDir(folder).filePath(suggested), filter);
}

bool Printing::SavePdf(QWidget* parent, const Receipt& receipt, PaperWidth paper, const QString& suggestedName) {
    QString path = askSavePath(parent, QStringLiteral("存为PDF"), suggestedName, QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    QString error;
    const QByteArray pdf = receiptPdf(receipt, paper, QFileInfo(suggestedName).completeBaseName());
    if (pdf.isEmpty())
        error = QStringLiteral("无法生成PDF");
    else if (saveWholeFile(path, pdf, &error))
        return true;
    m_messages.show(Message{
        QStringLiteral("无法存为PDF文件“%1”%2").arg(path, error.isEmpty() ? QString() : QStringLiteral("：") + error),
        MessageButtons::Ok, MessageIcon::Warning});
    return false;
}

void Printing::PreviewAndPrint(QWidget* parent, PrintKind kind, const QString& title, const ReceiptSource& source,
                               const QString& pdfName) {
    QPrinter printer(QPrinter::HighResolution);
    const QString remembered = printerName(kind);
    if (!remembered.isEmpty() && QPrinterInfo::availablePrinterNames().contains(remembered))
        printer.setPrinterName(remembered);
    printer.setDocName(title);

    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    QPrintPreviewWidget* preview = dialog.findChild<QPrintPreviewWidget*>();
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [this, kind, &source](QPrinter* target) {
        paintReceipt(*target, source(roomName()), paper(kind));
    });

    // The choices of the room sit in the preview's own tool bar, so that what is chosen shows at once.
    QToolBar* bar = dialog.findChild<QToolBar*>();
    if (!bar) {
        bar = new QToolBar(&dialog);
        if (dialog.layout())
            dialog.layout()->addWidget(bar);
    }
    bar->addSeparator();
    auto* paperLabel = new QLabel(QStringLiteral("纸宽："), bar);
    auto* paperCombo = new QComboBox(bar);
    paperCombo->setObjectName(QStringLiteral("paperCombo"));
    paperLabel->setBuddy(paperCombo);
    for (PaperWidth option : allPapers())
        paperCombo->addItem(paperCaption(option), static_cast<int>(option));
    paperCombo->setCurrentIndex(static_cast<int>(allPapers().indexOf(paper(kind))));
    bar->addWidget(paperLabel);
    bar->addWidget(paperCombo);
    auto* nameLabel = new QLabel(QStringLiteral(" 店名："), bar);
    auto* nameEdit = new QLineEdit(roomName(), bar);
    nameEdit->setObjectName(QStringLiteral("roomNameEdit"));
    nameEdit->setMaximumWidth(180);
    nameLabel->setBuddy(nameEdit);
    bar->addWidget(nameLabel);
    bar->addWidget(nameEdit);
    QObject::connect(paperCombo, &QComboBox::currentIndexChanged, &dialog, [this, kind, paperCombo, preview] {
        setPaper(kind, static_cast<PaperWidth>(paperCombo->currentData().toInt()));
        if (preview)
            preview->updatePreview();
    });
    QObject::connect(nameEdit, &QLineEdit::editingFinished, &dialog, [this, nameEdit, preview] {
        if (nameEdit->text().trimmed() == roomName())
            return;
        setRoomName(nameEdit->text());
        if (preview)
            preview->updatePreview();
    });
    if (!pdfName.isEmpty()) {
        auto* savePdf = new QPushButton(QStringLiteral("存为PDF"), bar);
        savePdf->setObjectName(QStringLiteral("savePdfButton"));
        bar->addWidget(savePdf);
        QObject::connect(savePdf, &QPushButton::clicked, &dialog, [this, kind, &source, &dialog, pdfName] {
            SavePdf(&dialog, source(roomName()), paper(kind), pdfName);
        });
    }

    const int result = m_runPreview ? m_runPreview(dialog, printer) : dialog.exec();
    // A printer that took the receipt is the one to offer next time; a file is not a printer.
    if (result == QDialog::Accepted && printer.outputFormat() == QPrinter::NativeFormat &&
        !printer.printerName().isEmpty())
        setPrinterName(kind, printer.printerName());
}

} // namespace cuemora
