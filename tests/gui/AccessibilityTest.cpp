// What a screen reader meets in each window, read through QAccessible as
// assistive technology reads it, and the Escape key on the exit panel.
#include <QAccessible>
#include <QTest>
#include <algorithm>

#include "InteractionSupport.h"

using namespace vortiquo;

using namespace interaction;

namespace {

void collectBelow(QAccessibleInterface* node, QList<QAccessibleInterface*>& found)
{
    for (int index = 0; index < node->childCount(); ++index) {
        if (QAccessibleInterface* child = node->child(index)) {
            found << child;
            collectBelow(child, found);
        }
    }
}

// The labels related to a field, left to right ("Δ" and "t" make "Δt"),
// without a closing colon; not the frame, which Qt relates too.
QString labelText(QAccessibleInterface* field)
{
    QList<QAccessibleInterface*> labels;
    for (const auto& [other, relation] : field->relations(QAccessible::Label))
        if (other->role() == QAccessible::StaticText)
            labels << other;
    std::sort(labels.begin(), labels.end(), [](auto* a, auto* b) { return a->rect().left() < b->rect().left(); });
    QString text;
    for (QAccessibleInterface* label : labels)
        text += label->text(QAccessible::Name).trimmed();
    return text.endsWith(u':') ? text.chopped(1) : text;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlIsNamed_data();
    void everyControlIsNamed();
    void escapeAnswersNo();
};

void AccessibilityTest::everyControlIsNamed_data()
{
    QTest::addColumn<const Program*>("program");
    QTest::addColumn<QString>("equations");
    QTest::addColumn<QStringList>("unlabelled");  // the angle's fields share "α =", which labels the first
    QTest::newRow("convection") << &Brisuta << "dx/dt = a(y − x); dy/dt = bx − y − xz; dz/dt = xy + cz"
                                << QStringList{"denT"};
    QTest::newRow("spiral") << &Kelvane << "dx/dt = −(y + z); dy/dt = x + ay; dz/dt = xz − cz + b"
                            << QStringList{"denT"};
    QTest::newRow("recurrence") << &Tessivo << "x′ = ax + y; y′ = b + x²" << QStringList();
    QTest::newRow("quadratic") << &Drumbel << "x′ = y + 1 − ax²; y′ = bx" << QStringList();
}

// Each control that takes focus has a name of its own; a field's name starts
// with its label; no radio button goes by its object name or hidden caption;
// Equazioni describes itself by its equations.
void AccessibilityTest::everyControlIsNamed()
{
    QFETCH(const Program*, program);
    QFETCH(QString, equations);
    QFETCH(QStringList, unlabelled);
    SimulationForm form(*program);
    QList<QAccessibleInterface*> nodes;
    collectBelow(QAccessible::queryAccessibleInterface(&form), nodes);

    QStringList names, withoutLabel;
    for (QAccessibleInterface* node : nodes) {
        const QString name = node->text(QAccessible::Name);
        const QString objectName = node->object()->objectName();
        if (node->state().focusable) {
            QVERIFY2(!name.isEmpty() && !names.contains(name), qPrintable(objectName + u' ' + name));
            names << name;
        }
        if (node->role() == QAccessible::RadioButton)
            QVERIFY2(name != objectName && name != QLatin1String("Option1"), qPrintable(objectName));
        if (node->role() == QAccessible::EditableText) {
            const QString label = labelText(node);
            if (label.isEmpty())
                withoutLabel << objectName;
            QVERIFY2(name.startsWith(label), qPrintable(objectName + u' ' + name));
        }
        if (objectName == QLatin1String("Equazioni"))
            QCOMPARE(node->text(QAccessible::Description), equations);
    }
    QCOMPARE(withoutLabel, unlabelled);
}

// While the exit panel shows, Escape acts as "No" wherever the focus is in
// the window, here in a field.
void AccessibilityTest::escapeAnswersNo()
{
    SimulationForm form(Tessivo);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    click(button(form, QStringLiteral("Esci")));
    QTest::keyClick(textField(form, QStringLiteral("aT")), Qt::Key_Escape);
    QVERIFY(form.findChild<QWidget*>(QStringLiteral("Uscita"))->isHidden());
    QVERIFY(button(form, QStringLiteral("Esci"))->isEnabled());
    QVERIFY(form.isVisible());
}

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
