// The store pass (every text change stores all 44 text fields into the
// record) and Show_Data (texts first, then boxes), on a real panel.

#include "baza.h"
#include "editorpanel.h"
#include "fieldediting.h"
#include "ucupdownbox.h"

#include <QBuffer>
#include <QLineEdit>
#include <QTest>
#include <QtEndian>

namespace {
constexpr int kUntouched = 777;
}

class tst_Editing : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorPanel> m_panel;
    Baza m_baza;

    // Loads a record whose fields are all 0 but the given ones, as Open does.
    void load(const QList<std::pair<int, qint16>>& offsetsAndValues)
    {
        QByteArray bytes(4096, '\0');
        for (const auto& [offset, value] : offsetsAndValues)
            qToLittleEndian<qint16>(value, bytes.data() + offset);
        QBuffer file(&bytes);
        QVERIFY(file.open(QIODevice::ReadOnly) && m_baza.Wczytaj(file));
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_panel = std::make_unique<EditorPanel>();
        m_baza = Baza();
        editing::connectStorePass(*m_panel, m_baza);
    }

    // Text field 0 stores PozycjaX as it is, text field 16 PointA in
    // sixteenths; what does not read or fit leaves the field alone.
    void storePass()
    {
        const QList<std::tuple<QString, int, int>> rows{
            {"250", 250, 4000}, {"-40", -40, -640}, {"12.5", 12, 192}, {"13.5", 14, 224}, {"-2.5", -2, -32},
            {"2047", 2047, 32752}, {"2047.5", 2048, kUntouched}, {"-2048", -2048, -32768},
            {"-2049", -2049, kUntouched}, {"32767", 32767, kUntouched}, {"32767.5", kUntouched, kUntouched},
            {"-32768.5", -32768, kUntouched}, {"", kUntouched, kUntouched}, {"-", kUntouched, kUntouched},
            {"abc", kUntouched, kUntouched}};
        for (const auto& [text, plain, vertex] : rows) {
            m_panel->txt(0)->clear();
            m_panel->txt(16)->clear();
            load({{2096, kUntouched}, {2328, kUntouched}});
            m_panel->txt(0)->setText(text);
            m_panel->txt(16)->setText(text);
            QCOMPARE(std::tuple(text, int(m_baza.PozycjaX()), int(m_baza.PointA())),
                     std::tuple(text, plain, vertex));
        }
    }

    // What the record, box N and its text field hold after Show_Data of one
    // value, box N having held another value before.
    void showData()
    {
        struct Row {
            const char* what;
            int box, boxBefore, value;
            const char* locale;
            int record, shown;
            QString text;
        };
        const QList<Row> rows{{"PointA 25", 17, 0, 25, "en", 32, 2, "2"},
                              {"PointA 25, box at 2", 17, 2, 25, "en", 32, 2, "1.5625"},
                              {"PointA 25, box at 2, comma", 17, 2, 25, "de", 32, 2, "1,5625"},
                              {"PointA 200", 17, 0, 200, "en", 192, 12, "12"},
                              {"PointA 216", 17, 0, 216, "en", 224, 14, "14"},
                              {"PointA -8", 17, 0, -8, "en", 0, 0, "-0.5"},
                              {"PointA -48", 17, 0, -48, "en", -48, 0, "-3"},
                              {"PointA -48, box at 5", 17, 5, -48, "en", 0, 0, "0"},
                              {"PointA 32760", 17, 0, 32760, "en", 32760, 2048, "2048"},
                              {"PointA -32768", 17, 0, -32768, "en", -32768, 0, "-2048"},
                              {"PointC1Home 8", 34, 0, 8, "en", 0, 0, "0.5"},
                              {"PointD1 24, comma", 26, 0, 24, "de", 32, 2, "2"},
                              {"KroX -12", 43, 0, -12, "en", -12, -12, "-12"},
                              {"TimeShapY -32768", 22, 0, -32768, "en", -32768, -32768, "-32768"}};
        for (const Row& row : rows) {
            QLocale::setDefault(QLocale(row.locale));
            m_panel->box(row.box)->setValue(row.boxBefore);
            for (int k = 0; k < layout::kFieldCount; ++k) // as Open does before it loads
                m_panel->txt(k)->clear();
            const layout::FieldInfo& field = layout::fieldForTextField(row.box - 1);
            load({{field.offset, qint16(row.value)}});
            editing::Show_Data(*m_panel, m_baza);
            QCOMPARE(std::tuple(row.what, int(m_baza.value(field.index)), m_panel->box(row.box)->Value(),
                                m_panel->txt(row.box - 1)->text()),
                     std::tuple(row.what, row.record, row.shown, row.text));
        }
    }

    // Texts are written once each in order, then each box is set in order;
    // a box whose value moves relays it, nested inside its own change.
    void showDataOrderOfEvents()
    {
        load({{2096, 5}, {2328, 25}, {3280, 3}});
        QStringList events, expected;
        for (int k = 0; k < layout::kFieldCount; ++k) {
            const auto log = [&events](const QString& what) { return [&events, what](const QString& text) {
                events << what + "=" + text; }; };
            connect(m_panel->txt(k), &QLineEdit::textChanged, this, log(QStringLiteral("txt_%1").arg(k)));
            connect(m_panel->box(k + 1)->findChild<QLineEdit*>("txtValue"), &QLineEdit::textChanged, this,
                    log(QStringLiteral("box%1").arg(k + 1)));
            const char* shown = k == 0 ? "5" : k == 16 ? "1.5625" : k == 43 ? "3" : "0";
            expected << QStringLiteral("txt_%1=%2").arg(k).arg(shown);
        }
        editing::Show_Data(*m_panel, m_baza);
        QCOMPARE(events, expected << "box1=5" << "txt_16=2" << "box17=2" << "box44=3");
    }

    // Whole pixels within every box's range come back exactly as loaded.
    void wholeLayoutShownUnchanged()
    {
        QList<std::pair<int, qint16>> values;
        for (const layout::FieldInfo& field : layout::kFields) {
            const bool vertex = field.kind == layout::FieldKind::Vertex;
            values.append({field.offset, qint16(vertex ? 16 * (field.index + 3) : 100 - 9 * field.index)});
        }
        load(values);
        editing::Show_Data(*m_panel, m_baza);
        for (const auto& [offset, value] : values)
            QCOMPARE(m_baza.value(layout::fieldAtOffset(offset)->index), value);
    }
};

QTEST_MAIN(tst_Editing)
#include "tst_editing.moc"
