// The command line of every program on any arguments (the fuzzer's bytes cut
// at each NUL, as argv arrives): it never crashes, a usage error always says
// in Italian what is wrong, and a render it accepts is one the renderer can
// do as asked.
#include <QStringList>

#include "apps/Programs.h"
#include "cli/CommandLine.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace vortiquo;

namespace {

QStringList argumentsOf(const std::uint8_t* data, std::size_t size, const Program& program)
{
    QStringList arguments{QString::fromLatin1(program.name)};
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QByteArray& argument : bytes.split('\0'))
        arguments << QString::fromUtf8(argument);
    return arguments;
}

// QCommandLineParser's own messages are English; the user must never see one.
bool saysItInQtsEnglish(const QString& error)
{
    for (const char* english : {"Unknown option", "Missing value", "Unexpected value", "Unexpected argument"})
        if (error.contains(QLatin1String(english)))
            return true;
    return false;
}

bool isSettableField(Field field, const Program& program)
{
    return designTexts(*program.layout)[static_cast<std::size_t>(field)].has_value() && field != Field::termine;
}

void checkRender(const RenderRequest& render, const Program& program)
{
    require(!render.output.isEmpty(), "a render names its output");
    require(render.from.isEmpty() == render.steps.has_value(), "a render has either --steps or --from");
    require(!render.steps || *render.steps >= 1, "a render takes at least one step");
    require(render.scale >= 1 && render.scale <= 16, "the scale is 1 to 16");
    require(render.from.isEmpty() || (render.edits.empty() && render.options.empty()),
            "--from takes no edits and no options");
    for (int option : render.options)
        require(option >= 1 && option <= 12, "options are Option1 to Option12");
    for (const auto& edit : render.edits)
        require(isSettableField(edit.first, program), "an edit names a field of the window other than termineT");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (const Program& program : allPrograms()) {
        const CommandLine command = parseCommandLine(argumentsOf(data, size, program), program);
        if (command.action == CommandLine::Action::UsageError) {
            require(!command.error.isEmpty(), "a usage error says what is wrong");
            require(!saysItInQtsEnglish(command.error), "a usage error is said in Italian");
        }
        if (command.action == CommandLine::Action::Render)
            checkRender(command.render, program);
    }
    return 0;
}
