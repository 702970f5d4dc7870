#pragma once

#include <QImage>
#include <QIODevice>
#include <QString>
#include <functional>
#include <optional>

#include "program/Program.h"
#include "picture/Recipe.h"

namespace vortiquo {

// Saved pictures: PNG files of the drawing area at device resolution,
// with three text chunks: "Software" (Vortiquo, the program, its version),
// "Description" (an Italian summary for people) and the recipe.

// The Italian summary: the equations, the fields' texts and the steps.
QString describePicture(const Program& program, const FieldTexts& texts, std::int64_t steps);

// Writes the picture with its chunks to `path`, atomically: on failure any
// earlier file of that name is left as it was. Returns an empty string on
// success, otherwise the reason in Italian. `texts` and `steps` go into the
// description. `recipeJson` is recipeToJson's text, made once by the caller;
// with none (a journal too long to keep), or one that does not fit
// (recipeFitsPicture), the picture is written without a recipe. A picture
// handed over whole (moved in) is tagged and encoded without a copy.
// `stillWanted`, asked once the picture is encoded and written, just before
// it takes its name, can still abandon it (WholeFile::commit).
QString writePicture(const QString& path, QImage picture, const Program& program, const FieldTexts& texts,
                     std::int64_t steps, const QByteArray& recipeJson,
                     const std::function<bool()>& stillWanted = {});

// Encodes a tagged image as PNG in memory and writes it to `path` the same
// atomic way; the reason in Italian on failure, else an empty string.
QString writePng(const QString& path, const QImage& tagged, const std::function<bool()>& stillWanted = {});
// Decodes a PNG file from untrusted bytes with its text chunks, every
// chunk's length bounded first, and a picture wider or taller than `largest`,
// or of more than `mostPixels` in all (the largest `program` makes of that
// kind), refused before decoding; a null image, with `error` saying why in
// Italian, when it cannot.
QImage readPng(QIODevice& device, QSize largest, qint64 mostPixels, const Program& program, QString& error);

// Whether a recipe's text fits in a saved picture so that it reads back: a
// journal within its bounds may still write too long a text.
bool recipeFitsPicture(const QByteArray& recipeJson);

// Reads the recipe of a saved picture. Every chunk must fit in the file,
// and the picture may be no larger than the program's drawing area at the
// largest scale; then the whole picture is decoded, since Qt gives a text
// whole only with its image, and the recipe is checked whole
// (recipeFromJson) and against the picture's size. On failure `error` says
// why, in Italian.
std::optional<Recipe> readRecipe(QIODevice& device, const Program& program, QString& error);
std::optional<Recipe> readRecipeFile(const QString& path, const Program& program, QString& error);

// The reason for a failed file operation, in Italian, from errno as the
// failing call left it (0 when it left none).
QString fileErrorReason(int errorNumber);

}  // namespace vortiquo
