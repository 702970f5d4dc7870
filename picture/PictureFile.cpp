#include "picture/PictureFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <cerrno>

#include "program/Version.h"
#include "picture/RecipeFormat.h"
#include "picture/Redraw.h"
#include "picture/WholeFile.h"

namespace vortiquo {

namespace {

// The largest picture of a program: its drawing area at the largest scale.
// A file any larger was not saved by it, and is refused before decoding.
QSize largestPicture(const Program& program)
{
    return devicePixels(drawingAreaSize(program), MaxScale);
}

qint64 pixelCount(QSize picture)
{
    return qint64{picture.width()} * picture.height();
}

// The memory, in whole megabytes, that decoding so many pixels takes at four
// bytes a pixel, as Qt decodes the pictures saved here.
int decodingMegabytes(qint64 pixels)
{
    const qint64 bytes = pixels * 4;
    return static_cast<int>((bytes + (1 << 20) - 1) >> 20);
}

// libpng allocates a text chunk's whole declared length before it reads the
// chunk, so a damaged file of a few bytes could claim gigabytes. Every chunk
// must fit in the bytes the file really has. The device is left where it was;
// what is not a PNG file at all is left for the decoder to refuse.
bool chunksFitInFile(QIODevice& device)
{
    static const QByteArray Signature("\x89PNG\r\n\x1a\n", 8);
    if (device.isSequential() || device.peek(8) != Signature)
        return true;
    const qint64 start = device.pos();
    const qint64 end = device.size();
    bool fits = true;
    for (qint64 at = start + 8; at + 8 <= end;) {
        char header[8];
        if (!device.seek(at) || device.read(header, 8) != 8)
            break;
        const qint64 length = qFromBigEndian<quint32>(header);
        if (length > end - at - 12) {
            fits = false;
            break;
        }
        at += 12 + length;
    }
    device.seek(start);
    return fits;
}

QString fieldLabel(std::size_t index)
{
    const std::string_view name = FieldNames[index];
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()) - 1);  // without the final T
}

}  // namespace

QString describePicture(const Program& program, const FieldTexts& texts, std::int64_t steps)
{
    QStringList parameters;
    for (std::size_t index = 0; index < FieldCount; ++index)
        if (texts[index])
            parameters << QStringLiteral("%1 = %2").arg(fieldLabel(index), QString::fromStdString(*texts[index]));
    QString description = QStringLiteral("%1, disegnato con %2 (Vortiquo %3).\n")
                              .arg(QString::fromUtf8(program.layout->caption), QLatin1String(program.name),
                                   QLatin1String(SuiteVersion));
    if (program.layout->equations)
        description += QStringLiteral("Equazioni: %1.\n").arg(QString::fromUtf8(program.layout->equations));
    description += QStringLiteral("Parametri: %1.\nPassi disegnati: %2.\n")
                       .arg(parameters.join(QStringLiteral("; ")))
                       .arg(steps);
    description += QStringLiteral("Per ridisegnarla identica, apritela con %1.").arg(QLatin1String(program.name));
    return description;
}

QString fileErrorReason(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return QStringLiteral("permesso negato; scegliete una cartella in cui potete scrivere");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("il disco è pieno; liberate spazio o scegliete un altro disco");
    case EFBIG:
        return QStringLiteral("il file supera la dimensione massima che il sistema consente; scegliete un altro "
                              "disco, o alzate il limite alla dimensione dei file");
    case ENOENT:
        return QStringLiteral("la cartella non esiste; scegliete una cartella che esiste");
    case ENOTDIR:
        return QStringLiteral("una parte del percorso non è una cartella; controllate il percorso");
    case EISDIR:
        return QStringLiteral("il percorso indica una cartella, non un file; scrivete anche il nome del file");
    case ENOTEMPTY:
    case EEXIST:
        return QStringLiteral("al suo posto c'è una cartella che non è vuota; scegliete un altro nome, o "
                              "svuotatela");
    case EROFS:
        return QStringLiteral("il disco è in sola lettura; scegliete un altro disco");
    case ENAMETOOLONG:
        return QStringLiteral("il nome del file è troppo lungo; sceglietene uno più corto");
    case EINVAL:
    case EILSEQ:
        return QStringLiteral("il nome contiene caratteri che il disco non accetta; sceglietene un altro");
    case ELOOP:
        return QStringLiteral("il percorso gira in tondo tra collegamenti simbolici; controllate il percorso");
    case EIO:
        return QStringLiteral("il disco non ha risposto come doveva; riprovate, o scegliete un altro disco");
    case ENOMEM:
    case EMFILE:
    case ENFILE:
        return QStringLiteral("il sistema non ha più risorse libere; chiudete qualche programma e riprovate");
    default:
        // Qt's own texts are English: the user gets ours, with the system's
        // number for whoever looks into it.
        return errorNumber != 0
                   ? QStringLiteral("errore di sistema numero %1; riprovate, o scegliete un altro nome o un'altra "
                                    "cartella").arg(errorNumber)
                   : QStringLiteral("errore imprevisto; riprovate, o scegliete un altro nome o un'altra cartella");
    }
}

bool recipeFitsPicture(const QByteArray& recipeJson)
{
    return recipeJson.size() <= recipe_format::MaxRecipeBytes;
}

QString writePicture(const QString& path, QImage picture, const Program& program, const FieldTexts& texts,
                     std::int64_t steps, const QByteArray& recipeJson, const std::function<bool()>& stillWanted)
{
    QImage tagged = std::move(picture);  // the texts then go into the only copy
    tagged.setText(QStringLiteral("Software"),
                   QStringLiteral("Vortiquo %1 %2").arg(QLatin1String(program.name), QLatin1String(SuiteVersion)));
    tagged.setText(QStringLiteral("Description"), describePicture(program, texts, steps));
    // Qt writes a text with characters beyond Latin-1 as an iTXt chunk;
    // the recipe always has some, in its equations.
    if (!recipeJson.isEmpty() && recipeFitsPicture(recipeJson))
        tagged.setText(QLatin1String(RecipeKey), QString::fromUtf8(recipeJson));
    return writePng(path, tagged, stillWanted);
}

QString writePng(const QString& path, const QImage& tagged, const std::function<bool()>& stillWanted)
{
    WholeFile file(path);
    if (QString error = file.open(); !error.isEmpty())
        return error;
    // The picture is encoded in memory, then written: when the disk fails
    // half way, the PNG encoder is never cut off in the middle of a row,
    // which would leave its buffers behind.
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, "png");
    if (!writer.write(tagged))
        return fileErrorReason(ENOMEM);
    if (QString error = file.write(encoded.data()); !error.isEmpty())
        return error;
    return file.commit(stillWanted);
}

QImage readPng(QIODevice& device, QSize largest, qint64 mostPixels, const Program& program, QString& error)
{
    if (!chunksFitInFile(device)) {
        error = QStringLiteral("il file è danneggiato o incompleto: un suo blocco dichiara più dati di quanti il "
                               "file ne contenga");
        return {};
    }
    // The texts come whole, as written, only with the image itself: Qt's
    // header-only reading folds their white space. The size in the header
    // is sound to read first.
    QImageReader reader(&device, "png");
    reader.setAllocationLimit(decodingMegabytes(mostPixels));
    if (const QSize size = reader.size(); size.width() > largest.width() || size.height() > largest.height() ||
                                          qint64{size.width()} * size.height() > mostPixels) {
        error = QStringLiteral("l'immagine, di %1×%2 pixel, è più grande di ogni immagine che %3 disegna")
                    .arg(size.width())
                    .arg(size.height())
                    .arg(QLatin1String(program.name));
        return {};
    }
    const QImage image = reader.read();
    if (image.isNull())
        error = QStringLiteral("il file non è un'immagine PNG leggibile");
    return image;
}

std::optional<Recipe> readRecipe(QIODevice& device, const Program& program, QString& error)
{
    const QImage image = readPng(device, largestPicture(program), pixelCount(largestPicture(program)), program, error);
    if (image.isNull())
        return std::nullopt;
    const QString text = image.text(QLatin1String(RecipeKey));
    if (text.isEmpty()) {
        error = QStringLiteral("l'immagine non contiene una ricetta di Vortiquo: forse non è stata salvata da "
                               "Vortiquo, o la ricetta era troppo lunga per essere salvata");
        return std::nullopt;
    }
    std::optional<Recipe> recipe = recipeFromJson(text.toUtf8(), program, error);
    if (recipe && image.size() != devicePixels(drawingAreaSize(program), recipe->scale)) {
        error = damagedRecipe(QStringLiteral("le dimensioni non tornano"));
        return std::nullopt;
    }
    return recipe;
}

std::optional<Recipe> readRecipeFile(const QString& path, const Program& program, QString& error)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("il file non si può leggere: %1").arg(fileErrorReason(errno));
        return std::nullopt;
    }
    return readRecipe(file, program, error);
}

}  // namespace vortiquo
