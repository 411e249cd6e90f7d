#include "support/WidgetTestMain.h"

#include "controls/CellWidth.h"
#include "controls/AdvanceSum.h"
#include "controls/ColumnResizeBatch.h"
#include "controls/ComboWidth.h"
#include "controls/GridValueDelegate.h"

#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextLayout>

namespace {

// Its last row holds a NULL, which the grid draws as a text of its own in
// italics.
class NullLastRow : public QStandardItemModel
{
public:
    NullLastRow() : QStandardItemModel(0, 1) {}

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (index.row() == rowCount() - 1 && (role == Qt::DisplayRole || role == Qt::EditRole))
            return QVariant(QMetaType::fromType<QString>());
        return QStandardItemModel::data(index, role);
    }
};

} // namespace

// The widths measured without laying out every text must still show every
// text whole, and no wider than needed by much.
class TstMeasuredWidths : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void comboShowsItsWidestName();
    void comboShowsItsWidestName_data() { texts_data(); }
    void columnFitsItsWidestCell();
    void columnFitsItsWidestCell_data() { texts_data(); }
    void comboKeepsItsShortestWidth();
    void batchedWidthsReachTheGrid();
    void plainTextLaysOutToItsSum();
    void plainTextLaysOutToItsSum_data() { texts_data(); }
};

void TstMeasuredWidths::texts_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("capitals") << QStringList{"T_0001", "CUSTOMER", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"};
    QTest::newRow("same length") << QStringList{"T_0001", "T_0002", "V_0003", "MMMMMM"};
    QTest::newRow("quoted mixed case")
        << QStringList{"\"Order Lines\"", "\"i\"", "\"Überweisung mit Leerzeichen\""};
    QTest::newRow("shorter but wider") << QStringList{"iiiiiiiiiiiiiiiiiiii", "WWWWWWWWWWWWWWW"};
    QTest::newRow("one") << QStringList{"A"};
    QTest::newRow("narrower than a NULL") << QStringList{"Y", "N"};
    // The last glyph juts out past its advance; pairs a shaper would kern.
    QTest::newRow("overhanging last letter")
        << QStringList{"FLAT", "LAYOUT", "WAVY", "TRY_f", "T_0001_C02", "T_0001_C10"};
    QTest::newRow("kerning pairs") << QStringList{"AVATAR", "To Wa", "LT_AV", "Yo, Te"};
    QTest::newRow("blanks around") << QStringList{" x  ", "  ", "a b"};
    QTest::newRow("needs shaping")
        << QStringList{"\u0645\u0631\u062d\u0628\u0627", "\u0928\u092e\u0938\u094d\u0924\u0947",
                       "Cafe\u0301", "Caf\u00e9"};
}

void TstMeasuredWidths::comboShowsItsWidestName()
{
    QFETCH(QStringList, texts);
    QComboBox fitted;
    fitted.addItems(texts);
    ComboWidth::fitLongest(&fitted, 0);
    QComboBox measuring;
    measuring.addItems(texts);
    const int needed = measuring.sizeHint().width();
    QVERIFY2(fitted.sizeHint().width() >= needed,
             qPrintable(QStringLiteral("%1 < %2").arg(fitted.sizeHint().width()).arg(needed)));
    // Room for an icon comes with a box sized by its contents' length.
    QVERIFY2(fitted.sizeHint().width() <= needed + needed / 4 + fitted.iconSize().width() + 8,
             qPrintable(QStringLiteral("%1 for %2").arg(fitted.sizeHint().width()).arg(needed)));
}

void TstMeasuredWidths::comboKeepsItsShortestWidth()
{
    QComboBox fitted;
    fitted.addItems({"A", "B"});
    ComboWidth::fitLongest(&fitted, 24);
    const int room = fitted.fontMetrics().horizontalAdvance(QString(24, QLatin1Char('x')));
    QVERIFY2(fitted.sizeHint().width() >= room,
             qPrintable(QStringLiteral("%1 < %2").arg(fitted.sizeHint().width()).arg(room)));
}

void TstMeasuredWidths::columnFitsItsWidestCell()
{
    QFETCH(QStringList, texts);
    NullLastRow model;
    for (const QString &text : texts)
        model.appendRow(new QStandardItem(text));
    // A cell in a font of its own is measured as drawn.
    auto *italic = new QStandardItem(texts.first());
    QFont font;
    font.setItalic(true);
    font.setBold(true);
    italic->setFont(font);
    model.appendRow(italic);
    model.appendRow(new QStandardItem);
    QTableView view;
    GridValueDelegate delegate;
    view.setItemDelegate(&delegate);
    view.setModel(&model);
    int exact = 0;
    for (int row = 0; row < model.rowCount(); ++row)
        exact = std::max(exact, view.sizeHintForIndex(model.index(row, 0)).width());
    QCOMPARE(CellWidth::widest(&view, 0, model.rowCount()), exact);
}

// What the column measure trusts instead of laying a text out: without
// shaping, a plain text is exactly as wide as its summed advances; a text
// that needs shaping is not taken for plain.
void TstMeasuredWidths::plainTextLaysOutToItsSum()
{
    QFETCH(QStringList, texts);
    QFont font;
    font.setStyleStrategy(QFont::PreferNoShaping);
    AdvanceSum advances(font);
    for (const QString &text : texts) {
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine().setLineWidth(1e6);
        layout.endLayout();
        const qreal laidOut = layout.lineAt(0).naturalTextWidth();
        if (AdvanceSum::isPlain(text))
            QCOMPARE(qRound(advances.layoutWidth(text) * 64), qRound(laidOut * 64));
    }
}

// Told of the widths only at the batch's end, the grid still scrolls to its
// last column and its header spans every column.
void TstMeasuredWidths::batchedWidthsReachTheGrid()
{
    QStandardItemModel model(3, 4);
    QTableView view;
    view.setModel(&model);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    {
        // Batches nest: the window's around the grid's own.
        const ColumnResizeBatch window(&view);
        {
            const ColumnResizeBatch grid(&view);
            for (int column = 0; column < model.columnCount(); ++column)
                view.setColumnWidth(column, 150);
        }
        view.setColumnHidden(1, true);
    }
    QHeaderView *header = view.horizontalHeader();
    QCOMPARE(header->length(), 450);
    QCOMPARE(view.horizontalScrollBar()->maximum(), 450 - view.viewport()->width());
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    QCOMPARE(view.columnViewportPosition(3) + view.columnWidth(3), view.viewport()->width());
}

QUORVEL_WIDGET_TEST_MAIN(TstMeasuredWidths)
#include "tst_measuredwidths.moc"
