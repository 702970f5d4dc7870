#include "cli/EditedSession.h"

namespace vortiquo {

Session editedSession(const Program& program, const FieldEdits& edits)
{
    FieldTexts texts = designTexts(*program.layout);
    const SimulationState loaded = loadedState(texts, loadFacts(program));
    Session session(*program.model, loaded, texts, initialOption(*program.layout, 7, 12));
    for (const auto& [field, text] : edits)
        session.editField(field, text.toStdString());
    return session;
}

}  // namespace vortiquo
