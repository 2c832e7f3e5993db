#include "ships/NameFields.h"

#include "core/MessageService.h"
#include "ui/FieldGuard.h"

#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

namespace NameFields {

bool hasControlCharacter(const QString& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString controlCharacterMessage(const QString& caption)
{
    return MessageService::join(QStringLiteral("Invalid value for %1.").arg(caption),
                                QStringLiteral("%1 cannot hold control characters (a tab, a line break, "
                                               "a NUL and the like); please type it again.")
                                    .arg(caption));
}

bool check(const Field& field)
{
    if (!field.box || !hasControlCharacter(field.box->text()))
        return true;
    MessageService::show(controlCharacterMessage(field.caption), Msg::Buttons::Ok, Msg::Icon::Exclamation,
                         field.title);
    field.box->setFocus(Qt::OtherFocusReason);
    field.box->selectAll();
    return false;
}

bool checkAll(const QList<Field>& fields)
{
    return std::all_of(fields.begin(), fields.end(), [](const Field& f) { return check(f); });
}

void guard(FieldGuard& guard, const QList<Field>& fields)
{
    for (const Field& f : fields) {
        // The name of a ship is typed into a combo box: the guard watches the combo box itself.
        QWidget* watched = f.box;
        if (auto* combo = qobject_cast<QComboBox*>(f.box->parentWidget()); combo && combo->lineEdit() == f.box)
            watched = combo;
        guard.setCheck(watched, [f] { return check(f); });
    }
}

}  // namespace NameFields
