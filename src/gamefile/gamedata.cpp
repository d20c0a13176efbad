#include "gamedata.h"

#include "baza.h"
#include "container.h"
#include "containerbytes.h"
#include "readablefile.h"

#include <QBuffer>

namespace gamefile {

StepResult readGameFile(const QString& path, GameData* data)
{
    const QString step = QStringLiteral("reading the game file");
    if (StepResult read = readWholeFile(path, kMaxGameFileSize, step, &data->container); !read.ok())
        return read;
    try {
        data->plain = unpackContainer(data->container);
    } catch (const zlibcodec::Error& error) {
        return StepResult::failed(QStringLiteral("decoding the game file"), QString::fromStdString(error.what()));
    }
    if (data->plain.size() < kLayoutEnd)
        return StepResult::failed(QStringLiteral("reading the layout"),
                                  QStringLiteral("the data holds %1 bytes, too few for a whole layout (%2)")
                                      .arg(data->plain.size())
                                      .arg(kLayoutEnd));
    return StepResult::done();
}

layout::Record layoutOf(const GameData& data)
{
    QByteArray plain = data.plain;
    QBuffer buffer(&plain);
    buffer.open(QIODevice::ReadOnly);
    Baza baza;
    baza.Wczytaj(buffer);
    return baza.record();
}

StepResult putLayout(GameData* data, const layout::Record& values)
{
    QByteArray plain = data->plain;
    QBuffer buffer(&plain);
    buffer.open(QIODevice::ReadWrite);
    Baza baza;
    baza.Wczytaj(buffer);
    baza.setRecord(values);
    try {
        baza.Zapisz(buffer, QStringLiteral("the data"));
        // The codec inflates what it deflated and compares it with the data
        // before it hands the container out; a mismatch throws.
        data->container = packContainer(plain);
        data->plain = plain;
    } catch (const zlibcodec::Error& error) {
        return StepResult::failed(QStringLiteral("encoding the game file"), QString::fromStdString(error.what()));
    } catch (const LayoutWriteError& error) {
        return StepResult::failed(QStringLiteral("writing the layout"), error.reason());
    }
    return StepResult::done();
}

} // namespace gamefile
