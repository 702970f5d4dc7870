#include "cli/LookOptions.h"

#include <QCommandLineParser>

#include "cli/CommandReaders.h"
#include "picture/DensityPicture.h"

namespace vortiquo {

QString readLook(const QCommandLineParser& parser, int scale, std::optional<PictureLook>& look)
{
    const bool density = parser.isSet("density");
    if (!density && !parser.isSet("tone") && !parser.isSet("supersample"))
        return {};
    look = PictureLook{};
    look->density = density;
    if (parser.isSet("tone")) {
        if (!density)
            return "--tone vale solo con --density";
        const QString tone = parser.value("tone");
        if (tone == "log")
            look->tone = Tone::log;
        else if (tone == "equalize")
            look->tone = Tone::equalize;
        else
            return QString("--tone vuole log oppure equalize, non «%1»").arg(tone.left(40));
    }
    if (parser.isSet("supersample")) {
        qint64 supersample = 1;
        if (QString error = readWhole("supersample", parser.value("supersample"), 1, MostSupersample, supersample);
            !error.isEmpty())
            return error;
        look->supersample = int(supersample);
    }
    if (!drawingFits(scale, look->supersample))
        return QString("--scale per --supersample fa al più %1: con --supersample %2 la scala arriva a %3")
            .arg(MostDrawingScale)
            .arg(look->supersample)
            .arg(MostDrawingScale / look->supersample);
    return {};
}

}  // namespace vortiquo
