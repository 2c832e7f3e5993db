#include "ui/PassphraseDialog.h"

#include "core/MessageService.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace PassphraseDialog {

namespace {

    Asker& custom()
    {
        static Asker asker;
        return asker;
    }

    std::optional<Entry> showDialog(Purpose purpose, const QString& dataDir, QWidget* parent)
    {
        // Where nothing can be seen nobody can answer: the dialog counts as cancelled.
        const QString platform = QGuiApplication::platformName();
        if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
            return std::nullopt;
        QDialog dialog(parent);
        dialog.setObjectName(QStringLiteral("frmPassphrase"));
        dialog.setWindowTitle(purpose == Purpose::Open         ? MessageService::appTitle()
                                  : purpose == Purpose::Choose ? QStringLiteral("Protect the Database")
                                                               : QStringLiteral("Remove the Protection"));
        auto* layout = new QVBoxLayout(&dialog);
        const QString folder = QDir::toNativeSeparators(dataDir);
        auto* text = new QLabel(
            purpose == Purpose::Open
                ? QStringLiteral(
                      "The database in %1 is protected by a passphrase.\nType its passphrase to open it.")
                      .arg(folder)
                : purpose == Purpose::Choose
                ? QStringLiteral(
                      "Choose a passphrase for the database in %1 and type it twice.\nWithout it nobody, "
                      "you included, can open the ships and ports again: keep it safe.")
                      .arg(folder)
                : QStringLiteral("Type the passphrase of the database in %1 to remove its protection.")
                      .arg(folder));
        text->setWordWrap(true);
        layout->addWidget(text);
        auto* form = new QFormLayout;
        auto* first = new QLineEdit(&dialog);
        first->setObjectName(QStringLiteral("txtPassphrase"));
        first->setEchoMode(QLineEdit::Password);
        form->addRow(QStringLiteral("&Passphrase:"), first);
        QLineEdit* second = nullptr;
        if (purpose == Purpose::Choose) {
            second = new QLineEdit(&dialog);
            second->setObjectName(QStringLiteral("txtPassphraseAgain"));
            second->setEchoMode(QLineEdit::Password);
            form->addRow(QStringLiteral("&Again:"), second);
        }
        layout->addLayout(form);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return Entry {first->text(), second ? second->text() : QString()};
    }

}  // namespace

void setAsker(Asker asker)
{
    custom() = std::move(asker);
}

std::optional<Entry> ask(Purpose purpose, const QString& dataDir, QWidget* parent)
{
    if (custom())
        return custom()(purpose, dataDir, parent);
    return showDialog(purpose, dataDir, parent);
}

}  // namespace PassphraseDialog
