#include "baza.h"
#include "editorpanel.h"
#include "fieldediting.h"
#include "testfiles.h"
#include "ucupdownbox.h"

#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <map>

namespace {

// Sentinel that no test text produces.
constexpr qint16 kUntouched = 777;

// A record loaded from a file the test writes, as the Open command loads it.
bool loadRecord(Baza& baza, const QTemporaryDir& dir, const std::map<QString, qint16>& values)
{
    QByteArray bytes(4096, '\0');
    for (const auto& [name, value] : values)
        for (const layout::FieldInfo& field : layout::kFields)
            if (QLatin1String(field.name.data(), qsizetype(field.name.size())) == name)
                testfiles::write16(bytes, field.offset, value);
    QFile file(dir.filePath("layout.unzlib"));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return baza.Wczytaj(file.fileName());
}

int fieldIndex(const char* name)
{
    for (const layout::FieldInfo& field : layout::kFields)
        if (field.name == name)
            return field.index;
    return -1;
}

double halfEven(double x) { return std::nearbyint(x); } // default rounding mode rounds halves to even

// What showing a layout on a fresh panel must leave, worked out independently
// of the code under test: the value after phase one's store, then the box's
// clamped value relayed back when it moved off 0.
struct Expected {
    qint16 record;
    int box;
    QString text;
};

Expected expectedAfterShow(qint16 value, bool vertex, int min, int max, const QString& shownText)
{
    Expected e{value, 0, shownText};
    double shown = value;
    if (vertex) {
        shown = value / 16.0;
        const double pixels = halfEven(shown);
        if (pixels * 16 >= -32768 && pixels * 16 <= 32767)
            e.record = static_cast<qint16>(pixels * 16);
    }
    int box = static_cast<int>(halfEven(shown));
    box = std::max(box, min);
    box = std::min(box, max);
    e.box = box;
    if (box != 0) {
        e.text = QString::number(box);
        const long stored = vertex ? long(box) * 16 : box;
        if (stored >= -32768 && stored <= 32767)
            e.record = static_cast<qint16>(stored);
    }
    return e;
}

} // namespace

class tst_FieldEditing : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_panel = std::make_unique<EditorPanel>();
        m_baza = std::make_unique<Baza>();
        editing::connectStorePass(*m_panel, *m_baza);
    }
    void cleanup()
    {
        m_panel.reset();
        m_baza.reset();
    }

    void storePass_data();
    void storePass();
    void storePassStoresEveryFieldOnAnyChange();
    void textFieldsMapToTheirRecordFields_data();
    void textFieldsMapToTheirRecordFields();
    void showData_data();
    void showData();
    void showDataOrderOfEvents();
    void showDataKeepsWholeLayoutUnchanged();
    void showDataWithBoxAlreadyAtZero();
    void showDataInCommaLocale();
    void steppingABoxReachesTheRecord();
    void boxBeyondTheRecordLeavesTheRecord();

private:
    std::unique_ptr<EditorPanel> m_panel;
    std::unique_ptr<Baza> m_baza;
    QTemporaryDir m_dir;
};

void tst_FieldEditing::storePass_data()
{
    QTest::addColumn<int>("textField");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");

    const int none = kUntouched;
    // Plain field: text field 0, PozycjaX.
    QTest::newRow("plain 250") << 0 << "250" << 250;
    QTest::newRow("plain -40") << 0 << "-40" << -40;
    QTest::newRow("plain 12.5") << 0 << "12.5" << 12;
    QTest::newRow("plain 13.5") << 0 << "13.5" << 14;
    QTest::newRow("plain -2.5") << 0 << "-2.5" << -2;
    QTest::newRow("plain 32767") << 0 << "32767" << 32767;
    QTest::newRow("plain 32767.5") << 0 << "32767.5" << none;
    QTest::newRow("plain 32768") << 0 << "32768" << none;
    QTest::newRow("plain -32768.5") << 0 << "-32768.5" << -32768;
    QTest::newRow("plain empty") << 0 << "" << none;
    QTest::newRow("plain lone minus") << 0 << "-" << none;
    QTest::newRow("plain letters") << 0 << "abc" << none;
    // Vertex field: text field 16, PointA.
    QTest::newRow("vertex 200") << 16 << "200" << 3200;
    QTest::newRow("vertex -3") << 16 << "-3" << -48;
    QTest::newRow("vertex 12.5") << 16 << "12.5" << 192;
    QTest::newRow("vertex 13.5") << 16 << "13.5" << 224;
    QTest::newRow("vertex 2047") << 16 << "2047" << 32752;
    QTest::newRow("vertex 2047.5") << 16 << "2047.5" << none;
    QTest::newRow("vertex 2048") << 16 << "2048" << none;
    QTest::newRow("vertex -2048") << 16 << "-2048" << -32768;
    QTest::newRow("vertex -2049") << 16 << "-2049" << none;
}

void tst_FieldEditing::storePass()
{
    QFETCH(int, textField);
    QFETCH(QString, text);
    QFETCH(int, stored);
    const int field = layout::fieldForTextField(textField).index;
    m_baza->setValue(field, kUntouched);
    m_panel->txt(textField)->setText(QStringLiteral("x")); // so that the next text is a change
    m_panel->txt(textField)->setText(text);
    QCOMPARE(int(m_baza->value(field)), stored);
}

void tst_FieldEditing::storePassStoresEveryFieldOnAnyChange()
{
    for (int k = 0; k < layout::kFieldCount; ++k)
        m_panel->txt(k)->blockSignals(true);
    for (int k = 0; k < layout::kFieldCount; ++k)
        m_panel->txt(k)->setText(k == 7 ? QString() : QString::number(k + 1));
    for (int k = 0; k < layout::kFieldCount; ++k)
        m_panel->txt(k)->blockSignals(false);
    m_baza->TeamShapeBY(-9); // text field 7 is empty: keeps its value

    m_panel->txt(5)->setText(QStringLiteral("60"));
    for (int k = 0; k < layout::kFieldCount; ++k) {
        const layout::FieldInfo& field = layout::fieldForTextField(k);
        const int shown = k == 5 ? 60 : k + 1;
        const int expected = k == 7 ? -9 : (field.kind == layout::FieldKind::Vertex ? shown * 16 : shown);
        QCOMPARE(int(m_baza->value(field.index)), expected);
    }
}

void tst_FieldEditing::textFieldsMapToTheirRecordFields_data()
{
    QTest::addColumn<int>("textField");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("stored");
    QTest::newRow("17 -> PointB") << 17 << "PointB" << 160;
    QTest::newRow("22 -> PointA1") << 22 << "PointA1" << 160;
    QTest::newRow("26 -> Time1ValueX") << 26 << "Time1ValueX" << 10;
    QTest::newRow("28 -> PointAHome") << 28 << "PointAHome" << 160;
    QTest::newRow("20 -> TimeShapX") << 20 << "TimeShapX" << 10;
    QTest::newRow("35 -> PointD1Home") << 35 << "PointD1Home" << 160;
    QTest::newRow("43 -> KroY") << 43 << "KroY" << 10;
}

void tst_FieldEditing::textFieldsMapToTheirRecordFields()
{
    QFETCH(int, textField);
    QFETCH(QString, field);
    QFETCH(int, stored);
    m_panel->txt(textField)->setText(QStringLiteral("10"));
    QCOMPARE(int(m_baza->value(fieldIndex(field.toLatin1().constData()))), stored);
    for (const layout::FieldInfo& other : layout::kFields)
        if (QLatin1String(other.name.data(), qsizetype(other.name.size())) != field)
            QCOMPARE(int(m_baza->value(other.index)), 0);
}

void tst_FieldEditing::showData_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("phaseOneText");
    QTest::newRow("PointA 25") << "PointA" << 25 << "1.5625";
    QTest::newRow("PointA 200") << "PointA" << 200 << "12.5";
    QTest::newRow("PointA 216") << "PointA" << 216 << "13.5";
    QTest::newRow("PointA 3200") << "PointA" << 3200 << "200";
    QTest::newRow("PointA -8") << "PointA" << -8 << "-0.5";
    QTest::newRow("PointA -48") << "PointA" << -48 << "-3";
    QTest::newRow("PointA 32760") << "PointA" << 32760 << "2047.5";
    QTest::newRow("PointA 32767") << "PointA" << 32767 << "2047.9375";
    QTest::newRow("PointA -32768") << "PointA" << -32768 << "-2048";
    QTest::newRow("PointC1Home 8") << "PointC1Home" << 8 << "0.5";
    QTest::newRow("PointD1 24") << "PointD1" << 24 << "1.5";
    QTest::newRow("KroX -12") << "KroX" << -12 << "-12";
    QTest::newRow("TimeShapY 32767") << "TimeShapY" << 32767 << "32767";
    QTest::newRow("PozycjaX -32768") << "PozycjaX" << -32768 << "-32768";
}

void tst_FieldEditing::showData()
{
    QFETCH(QString, field);
    QFETCH(int, value);
    QFETCH(QString, phaseOneText);
    QVERIFY(loadRecord(*m_baza, m_dir, {{field, static_cast<qint16>(value)}}));
    const layout::FieldInfo& info = layout::kFields[static_cast<std::size_t>(fieldIndex(field.toLatin1()))];
    ucUpDownBox* box = m_panel->box(info.textField + 1);

    editing::Show_Data(*m_panel, *m_baza);

    const bool vertex = info.kind == layout::FieldKind::Vertex;
    const Expected e = expectedAfterShow(static_cast<qint16>(value), vertex, box->Min(), box->Max(), phaseOneText);
    QCOMPARE(int(m_baza->value(info.index)), int(e.record));
    QCOMPARE(box->Value(), e.box);
    QCOMPARE(m_panel->txt(info.textField)->text(), e.text);
    // Every other field is 0 and stays so.
    for (int k = 0; k < layout::kFieldCount; ++k)
        if (k != info.textField) {
            QCOMPARE(m_panel->txt(k)->text(), QStringLiteral("0"));
            QCOMPARE(m_panel->box(k + 1)->Value(), 0);
        }
}

void tst_FieldEditing::showDataOrderOfEvents()
{
    QVERIFY(loadRecord(*m_baza, m_dir, {{"PozycjaX", 5}, {"PointA", 25}, {"KroY", 3}, {"PointB", 0}}));
    QStringList events;
    for (int k = 0; k < layout::kFieldCount; ++k)
        connect(m_panel->txt(k), &QLineEdit::textChanged, this,
                [&events, k](const QString& text) { events << QStringLiteral("txt_%1=%2").arg(k).arg(text); });
    // Each box's own text: it changes when Show_Data sets the box.
    for (int n = 1; n <= layout::kFieldCount; ++n)
        connect(m_panel->box(n)->findChild<QLineEdit*>("txtValue"), &QLineEdit::textChanged, this,
                [&events, n](const QString& text) { events << QStringLiteral("box%1=%2").arg(n).arg(text); });

    editing::Show_Data(*m_panel, *m_baza);

    QStringList expected;
    for (int k = 0; k < layout::kFieldCount; ++k)
        expected << QStringLiteral("txt_%1=%2").arg(k).arg(k == 0 ? "5" : k == 16 ? "1.5625" : k == 43 ? "3" : "0");
    // Phase two: only the boxes whose value moves announce it; the relay then
    // rewrites the text field when the text differs. The relay runs nested
    // inside the box's own text change, so it is recorded before the box's.
    expected << "box1=5"
             << "txt_16=2"
             << "box17=2"
             << "box44=3";
    QCOMPARE(events, expected);
    QCOMPARE(m_baza->PointA(), qint16(32));
}

void tst_FieldEditing::showDataKeepsWholeLayoutUnchanged()
{
    std::map<QString, qint16> values;
    for (const layout::FieldInfo& field : layout::kFields) {
        const QString name = QString::fromLatin1(field.name.data(), qsizetype(field.name.size()));
        values[name] = field.kind == layout::FieldKind::Vertex ? static_cast<qint16>(16 * (field.index + 3))
                                                               : static_cast<qint16>(100 - 9 * field.index);
    }
    QVERIFY(loadRecord(*m_baza, m_dir, values));
    editing::Show_Data(*m_panel, *m_baza);
    for (const layout::FieldInfo& field : layout::kFields) {
        const QString name = QString::fromLatin1(field.name.data(), qsizetype(field.name.size()));
        QCOMPARE(m_baza->value(field.index), values[name]);
        const int shown = field.kind == layout::FieldKind::Vertex ? values[name] / 16 : values[name];
        QCOMPARE(m_panel->box(field.textField + 1)->Value(), shown);
        QCOMPARE(m_panel->txt(field.textField)->text(), QString::number(shown));
    }
}

void tst_FieldEditing::showDataWithBoxAlreadyAtZero()
{
    // A negative vertex point: the box clamps to its lower bound 0. With the
    // box at 0 already nothing is relayed and the record keeps the value...
    QVERIFY(loadRecord(*m_baza, m_dir, {{"PointA", -48}}));
    editing::Show_Data(*m_panel, *m_baza);
    QCOMPARE(m_baza->PointA(), qint16(-48));
    QCOMPARE(m_panel->txt(16)->text(), QStringLiteral("-3"));

    // ...with the box elsewhere before, the relay writes 0 and the record takes it.
    m_panel->box(17)->setValue(5);
    QCOMPARE(m_baza->PointA(), qint16(80));
    QVERIFY(loadRecord(*m_baza, m_dir, {{"PointA", -48}}));
    editing::Show_Data(*m_panel, *m_baza);
    QCOMPARE(m_panel->box(17)->Value(), 0);
    QCOMPARE(m_panel->txt(16)->text(), QStringLiteral("0"));
    QCOMPARE(m_baza->PointA(), qint16(0));
}

void tst_FieldEditing::showDataInCommaLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY(loadRecord(*m_baza, m_dir, {{"PointA", 25}, {"PointB1Home", -8}}));
    QSignalSpy changes(m_panel->box(17), &ucUpDownBox::Change);
    editing::Show_Data(*m_panel, *m_baza);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(m_panel->box(17)->Value(), 2);
    QCOMPARE(m_baza->PointA(), qint16(32));
    QCOMPARE(m_panel->txt(31)->text(), QStringLiteral("-0,5"));
    QCOMPARE(m_baza->PointB1Home(), qint16(0));
}

void tst_FieldEditing::steppingABoxReachesTheRecord()
{
    QVERIFY(loadRecord(*m_baza, m_dir, {{"PozycjaX", 10}, {"PointA", 160}}));
    editing::Show_Data(*m_panel, *m_baza);
    QLineEdit* boxText = m_panel->box(1)->findChild<QLineEdit*>("txtValue");
    QTest::keyClick(boxText, Qt::Key_Up);
    QCOMPARE(m_panel->txt(0)->text(), QStringLiteral("11"));
    QCOMPARE(m_baza->PozycjaX(), qint16(11));

    QLineEdit* vertexText = m_panel->box(17)->findChild<QLineEdit*>("txtValue");
    QTest::keyClick(vertexText, Qt::Key_Down);
    QTest::keyClick(vertexText, Qt::Key_Down);
    QCOMPARE(m_panel->txt(16)->text(), QStringLiteral("8"));
    QCOMPARE(m_baza->PointA(), qint16(128));
}

void tst_FieldEditing::boxBeyondTheRecordLeavesTheRecord()
{
    m_panel->box(1)->setValue(7);
    QCOMPARE(m_baza->PozycjaX(), qint16(7));
    m_panel->box(1)->setValue(40000);
    QCOMPARE(m_panel->txt(0)->text(), QStringLiteral("40000"));
    QCOMPARE(m_baza->PozycjaX(), qint16(7));
    m_panel->box(17)->setValue(3000);
    QCOMPARE(m_panel->txt(16)->text(), QStringLiteral("3000"));
    QCOMPARE(m_baza->PointA(), qint16(0));
}

QTEST_MAIN(tst_FieldEditing)
#include "tst_fieldediting.moc"
