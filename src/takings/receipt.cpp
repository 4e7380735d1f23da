#include "takings/receipt.h"

#include "common/text_rules.h"

#include <algorithm>

namespace cuemora {

namespace {

constexpr int kNarrowestPaper = 16;

// One character as it prints: a code point with the combining marks that follow it.
struct Glyph {
    QString text;
    int cells = 0;
};

int codePointCells(char32_t cp) {
    if (cp < 0x80)
        return 1; // control characters never get here: glyphsOf makes them blanks
    const QChar::Category category = QChar::category(cp);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing)
        return 0;
    return 2;
}

bool isControl(char32_t cp) {
    return cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0) || cp == 0x2028 || cp == 0x2029;
}

// The text as glyphs, every control character (line breaks, tabs) a blank, so that no text of a
// file or a box can break a line of the paper or move the print head.
QList<Glyph> glyphsOf(const QString& text) {
    QList<Glyph> glyphs;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t cp = text[i].unicode();
        QString piece(text[i]);
        if (QChar::isHighSurrogate(cp) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            piece += text[++i];
        }
        if (isControl(cp)) {
            glyphs.append({QStringLiteral(" "), 1});
            continue;
        }
        // Invisible format characters (direction overrides, zero-width joiners) could reorder
        // or hide what the receipt says: they are left out.
        if (QChar::category(cp) == QChar::Other_Format)
            continue;
        const int cells = codePointCells(cp);
        if (cells == 0 && !glyphs.isEmpty()) {
            glyphs.last().text += piece;
            continue;
        }
        glyphs.append({piece, cells});
    }
    return glyphs;
}

bool isBlankGlyph(const Glyph& glyph) {
    return glyph.text == QLatin1String(" ");
}

QString spaces(int count) {
    return QString(std::max(count, 0), QLatin1Char(' '));
}

// The text broken into lines of at most `width` cells. A line that would end inside a word of
// Latin letters breaks at its last blank instead, when that leaves at least half the line.
QStringList wrap(const QString& text, int width) {
    const QList<Glyph> glyphs = glyphsOf(text);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = glyphs.size();
    while (start < n) {
        while (start < n && isBlankGlyph(glyphs[start]) && !lines.isEmpty())
            ++start; // a wrapped line does not begin with the blank it broke at
        if (start >= n)
            break;
        qsizetype end = start;
        int cells = 0;
        while (end < n && cells + glyphs[end].cells <= width)
            cells += glyphs[end++].cells;
        if (end < n && !isBlankGlyph(glyphs[end]) && glyphs[end].cells == 1) {
            int kept = 0;
            qsizetype lastBlank = -1;
            int cellsBeforeBlank = 0;
            for (qsizetype k = start; k < end; ++k) {
                if (isBlankGlyph(glyphs[k])) {
                    lastBlank = k;
                    cellsBeforeBlank = kept;
                }
                kept += glyphs[k].cells;
            }
            if (lastBlank > start && cellsBeforeBlank * 2 >= width)
                end = lastBlank;
        }
        QString line;
        for (qsizetype k = start; k < end; ++k)
            line += glyphs[k].text;
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        lines.append(line);
        start = end;
    }
    if (lines.isEmpty())
        lines.append(QString());
    return lines;
}

QString printable(const QString& text) {
    QString out;
    for (const Glyph& glyph : glyphsOf(text))
        out += glyph.text;
    return out;
}

QString rightAligned(const QString& text, int width) {
    return spaces(width - textCells(text)) + text;
}

QString leftAligned(const QString& text, int width) {
    return text + spaces(width - textCells(text));
}

// How the rows of goods of a receipt share the paper: every figure column as wide as its widest
// text, the name in what is left.
struct ColumnPlan {
    QList<int> figureWidths;
    int gap = 1;
    int nameWidth = 0; // 0: no name fits beside the figures; each row stacks them
};

ColumnPlan planColumns(const Receipt& receipt, int width) {
    ColumnPlan plan;
    for (const ReceiptLine& line : receipt.lines) {
        if (line.kind != ReceiptLineKind::Columns)
            continue;
        for (qsizetype j = 1; j < line.columns.size(); ++j) {
            if (plan.figureWidths.size() < j)
                plan.figureWidths.append(0);
            plan.figureWidths[j - 1] = std::max(plan.figureWidths[j - 1], textCells(printable(line.columns[j])));
        }
    }
    int sum = 0;
    for (int w : plan.figureWidths)
        sum += w;
    const int count = static_cast<int>(plan.figureWidths.size());
    for (int gap : {2, 1}) {
        const int figures = sum + gap * std::max(count - 1, 0);
        const int name = width - figures - (count > 0 ? gap : 0);
        if (name >= 6) {
            plan.gap = gap;
            plan.nameWidth = name;
            return plan;
        }
    }
    return plan;
}

void layOutColumns(const ReceiptLine& line, const ColumnPlan& plan, int width, QList<LaidOutLine>& out) {
    const QString name = line.columns.isEmpty() ? QString() : printable(line.columns[0]);
    QStringList figures;
    for (qsizetype j = 0; j < plan.figureWidths.size(); ++j) {
        const QString figure = j + 1 < line.columns.size() ? printable(line.columns[j + 1]) : QString();
        figures.append(rightAligned(figure, plan.figureWidths[j]));
    }
    const QString gap = spaces(plan.gap);
    if (plan.nameWidth > 0) {
        const QString block = figures.join(gap);
        if (textCells(name) <= plan.nameWidth) {
            out.append({leftAligned(name, plan.nameWidth) + gap + block, LaidOutLine::Style::Normal});
            return;
        }
        for (const QString& part : wrap(name, width))
            out.append({part, LaidOutLine::Style::Normal});
        out.append({rightAligned(block, width), LaidOutLine::Style::Normal});
        return;
    }
    // Figures too wide to stand side by side with any name: the name, then the figures wrapped.
    for (const QString& part : wrap(name, width))
        out.append({part, LaidOutLine::Style::Normal});
    QStringList bare;
    for (const QString& figure : figures)
        bare.append(figure.trimmed());
    for (const QString& part : wrap(bare.join(QLatin1Char(' ')), width))
        out.append({rightAligned(part, width), LaidOutLine::Style::Normal});
}

void layOutField(const ReceiptLine& line, int width, QList<LaidOutLine>& out) {
    const LaidOutLine::Style style = line.emphasised ? LaidOutLine::Style::Emphasised : LaidOutLine::Style::Normal;
    const QString caption = printable(line.text);
    const QString value = printable(line.value);
    const int used = textCells(caption) + textCells(value);
    if (value.isEmpty() && used <= width) {
        out.append({caption, style});
        return;
    }
    if (!value.isEmpty() && used + 1 <= width) {
        out.append({caption + spaces(width - used) + value, style});
        return;
    }
    // Too long for one line: the caption, then the value right-aligned under it.
    for (const QString& part : wrap(caption, width))
        out.append({part, style});
    if (value.isEmpty())
        return;
    for (const QString& part : wrap(value, width))
        out.append({rightAligned(part, width), style});
}

QString withUnit(const QString& text, const QString& unit) {
    return text.isEmpty() ? QString() : text + unit;
}

const QString& yuan() {
    static const QString unit = QStringLiteral("元");
    return unit;
}

} // namespace

int paperCharacters(PaperWidth paper) {
    switch (paper) {
    case PaperWidth::Roll58mm:
        return 32;
    case PaperWidth::Roll80mm:
        return 48;
    case PaperWidth::A4:
        return 72;
    }
    return 32;
}

int textCells(const QString& text) {
    int cells = 0;
    for (const Glyph& glyph : glyphsOf(text))
        cells += glyph.cells;
    return cells;
}

QList<LaidOutLine> layOutReceipt(const Receipt& receipt, int characters) {
    const int width = std::max(characters, kNarrowestPaper);
    const ColumnPlan plan = planColumns(receipt, width);
    QList<LaidOutLine> out;
    for (const ReceiptLine& line : receipt.lines) {
        switch (line.kind) {
        case ReceiptLineKind::Heading: {
            // The heading prints in a font twice as wide, so half as many characters fill the line.
            const int half = width / 2;
            for (const QString& part : wrap(line.text, half))
                out.append({spaces((half - textCells(part)) / 2) + part, LaidOutLine::Style::Heading});
            break;
        }
        case ReceiptLineKind::Centred:
            for (const QString& part : wrap(line.text, width))
                out.append({spaces((width - textCells(part)) / 2) + part, LaidOutLine::Style::Normal});
            break;
        case ReceiptLineKind::Text:
            for (const QString& part : wrap(line.text, width))
                out.append({part, line.emphasised ? LaidOutLine::Style::Emphasised : LaidOutLine::Style::Normal});
            break;
        case ReceiptLineKind::Field:
            layOutField(line, width, out);
            break;
        case ReceiptLineKind::Columns:
            layOutColumns(line, plan, width, out);
            break;
        case ReceiptLineKind::Rule:
            out.append({QString(width, QLatin1Char('-')), LaidOutLine::Style::Normal});
            break;
        }
    }
    return out;
}

QStringList receiptTextLines(const Receipt& receipt, int characters) {
    QStringList lines;
    for (const LaidOutLine& line : layOutReceipt(receipt, characters))
        lines.append(line.text);
    return lines;
}

QString defaultRoomName() {
    return QStringLiteral("Cuemora");
}

void ReceiptBuilder::heading(const QString& words) {
    add({.kind = ReceiptLineKind::Heading, .text = words});
}

void ReceiptBuilder::roomHeading(const QString& roomName) {
    heading(roomName.trimmed().isEmpty() ? defaultRoomName() : roomName);
}

void ReceiptBuilder::centred(const QString& words) {
    add({.kind = ReceiptLineKind::Centred, .text = words});
}

void ReceiptBuilder::text(const QString& words) {
    add({.kind = ReceiptLineKind::Text, .text = words});
}

void ReceiptBuilder::field(const QString& caption, const QString& value, bool emphasised) {
    add({.kind = ReceiptLineKind::Field, .text = caption, .value = value, .emphasised = emphasised});
}

void ReceiptBuilder::columns(const QStringList& columns) {
    add({.kind = ReceiptLineKind::Columns, .columns = columns});
}

void ReceiptBuilder::rule() {
    add({.kind = ReceiptLineKind::Rule});
}

void ReceiptBuilder::moment(const QString& caption, const QDateTime& when) {
    if (when.isValid())
        field(caption, dateTimeToText(when));
}

void ReceiptBuilder::add(ReceiptLine line) {
    m_receipt.lines.append(std::move(line));
}

Receipt checkoutReceipt(const CheckoutReceiptInput& in) {
    ReceiptBuilder r;
    r.roomHeading(in.roomName);
    r.centred(QStringLiteral("结账小票"));
    r.field(QStringLiteral("台号："), in.tableNumber.isEmpty() ? QString() : in.tableNumber + QStringLiteral("号台"));
    if (!in.tableName.isEmpty())
        r.field(QStringLiteral("台名称："), in.tableName);
    r.field(QStringLiteral("开时："), in.start);
    r.moment(QStringLiteral("结账时间："), in.checkedOut);
    r.rule();
    r.field(QStringLiteral("时长："), withUnit(in.hours, QStringLiteral("时")));
    r.field(QStringLiteral("单价："), withUnit(in.price, yuan()));
    r.field(QStringLiteral("折率："), withUnit(in.rate, QStringLiteral("折")));
    r.field(QStringLiteral("应付："), withUnit(in.due, yuan()));
    r.field(QStringLiteral("实付："), withUnit(in.afterDiscount, yuan()));
    // The register keeps the names of the goods on a table's account each after a "、".
    QStringList names = in.goodsNames.split(QStringLiteral("、"), Qt::SkipEmptyParts);
    if (!names.isEmpty())
        r.text(QStringLiteral("商品：") + names.join(QStringLiteral("、")));
    if (!names.isEmpty() || !in.goods.isEmpty())
        r.field(QStringLiteral("小计："), withUnit(in.goods, yuan()));
    r.rule();
    r.field(QStringLiteral("共付："), withUnit(in.total, yuan()), true);
    r.field(QStringLiteral("付款："), withUnit(in.payment, yuan()));
    r.field(QStringLiteral("找零："), withUnit(in.change, yuan()));
    r.rule();
    r.centred(QStringLiteral("谢谢惠顾"));
    return r.take();
}

QList<SaleReceiptLine> saleReceiptLines(const GridStore& saleList) {
    QList<SaleReceiptLine> lines;
    for (int r = 1; r < saleList.rowCount(); ++r)
        lines.append(
            {saleList.cellText(r, 0), saleList.cellText(r, 1), saleList.cellText(r, 2), saleList.cellText(r, 3)});
    return lines;
}

Receipt cashSaleReceipt(const CashSaleReceiptInput& in) {
    ReceiptBuilder r;
    r.roomHeading(in.roomName);
    r.centred(QStringLiteral("销售小票"));
    r.moment(QStringLiteral("时间："), in.sold);
    r.rule();
    if (in.lines.isEmpty()) {
        r.text(QStringLiteral("没有商品"));
    } else {
        r.columns({QStringLiteral("商品"), QStringLiteral("单价"), QStringLiteral("数量"), QStringLiteral("金额")});
        for (const SaleReceiptLine& line : in.lines)
            r.columns({line.name, line.price, line.quantity, line.amount});
    }
    r.rule();
    QString total = in.total;
    if (total.isEmpty()) {
        double sum = 0.0;
        for (const SaleReceiptLine& line : in.lines)
            sum += textToNumber(line.amount);
        total = realToText(sum);
    }
    r.field(QStringLiteral("合计："), withUnit(total, yuan()), true);
    r.field(QStringLiteral("付款："), withUnit(in.payment, yuan()));
    r.field(QStringLiteral("找零："), withUnit(in.change, yuan()));
    r.rule();
    r.centred(QStringLiteral("谢谢惠顾"));
    return r.take();
}

} // namespace cuemora
