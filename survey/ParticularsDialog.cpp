#include "survey/ParticularsDialog.h"

#include "core/MessageService.h"
#include "model/SurveyDraft.h"
#include "model/SurveyModel.h"
#include "model/SurveyParticulars.h"
#include "ui/TextLimit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString boxName(const QString& prefix, const QString& key)
{
    return prefix + key.left(1).toUpper() + key.mid(1);
}

} // namespace

ParticularsDialog::ParticularsDialog(SurveyModel& survey, QWidget* parent)
    : QDialog(parent)
    , m_survey(survey)
{
    setObjectName(QStringLiteral("frmParticulars"));
    setWindowTitle(QStringLiteral("Survey Particulars"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);

    const SurveyParticulars& given = survey.particulars();
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const SurveyParticulars::Item& item : SurveyParticulars::items()) {
        const QString key = item.key;
        QWidget* box = nullptr;
        if (item.multiLine) {
            auto* edit = new LimitedPlainTextEdit(item.maxLength);
            edit->setObjectName(boxName(QStringLiteral("txt"), key));
            edit->setTabChangesFocus(true);
            edit->setPlainText(given.value(key));
            edit->setFixedHeight(60);
            box = edit;
        } else if (key == QLatin1String("role")) {
            // In what capacity the survey was made; another wording may be typed.
            auto* combo = new QComboBox;
            combo->setObjectName(boxName(QStringLiteral("cmb"), key));
            combo->setEditable(true);
            combo->addItems({QString(), QStringLiteral("Joint survey"), QStringLiteral("Umpire"),
                QStringLiteral("Monitoring"), QStringLiteral("On behalf of")});
            combo->lineEdit()->setMaxLength(item.maxLength);
            combo->setCurrentText(given.value(key));
            box = combo;
        } else {
            auto* edit = new QLineEdit(given.value(key));
            edit->setObjectName(boxName(QStringLiteral("txt"), key));
            edit->setMaxLength(item.maxLength);
            box = edit;
        }
        m_boxes.insert(key, box);
        form->addRow(item.label + QLatin1Char(':'), box);
    }

    // When the readings of each draft began and ended.
    auto* times = new QGroupBox(QStringLiteral("Readings taken"));
    auto* grid = new QGridLayout(times);
    grid->addWidget(new QLabel(QStringLiteral("Began")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Ended")), 0, 2);
    // Each draft in the order taken: Initial, the draft checks, Final.
    int row = 1;
    for (const SurveyModel::DraftTaken& taken : survey.draftsInOrder()) {
        const int draft = taken.index;
        const QString name = draft == SurveyModel::Initial ? QStringLiteral("Initial")
            : draft == SurveyModel::Final ? QStringLiteral("Final")
                                          : QStringLiteral("Check%1").arg(SurveyModel::checkNumber(draft));
        const QString label = SurveyModel::isCheck(draft)
            ? QStringLiteral("Check %1").arg(SurveyModel::checkNumber(draft))
            : name;
        m_order.append(draft);
        const SurveyDraft& d = *taken.draft;
        grid->addWidget(new QLabel(label + QLatin1Char(':')), row, 0);
        auto* start = new QLineEdit(d.readingsStart());
        start->setObjectName(QStringLiteral("txt%1ReadingsStart").arg(name));
        auto* end = new QLineEdit(d.readingsEnd());
        end->setObjectName(QStringLiteral("txt%1ReadingsEnd").arg(name));
        for (QLineEdit* e : {start, end}) {
            e->setMaxLength(SurveyParticulars::readingsTimeMaxLength());
            e->setPlaceholderText(QStringLiteral("HH:mm"));
        }
        m_start.insert(draft, start);
        m_end.insert(draft, end);
        grid->addWidget(start, row, 1);
        grid->addWidget(end, row, 2);
        ++row;
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("btnParticulars"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ParticularsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ParticularsDialog::reject);

    auto* columns = new QHBoxLayout;
    columns->addLayout(form, 1);
    auto* box = new QVBoxLayout(this);
    box->addLayout(columns);
    box->addWidget(times);
    box->addWidget(buttons);

    // Tab leads down the form, through the times, to OK.
    QWidget* previous = nullptr;
    for (const SurveyParticulars::Item& item : SurveyParticulars::items()) {
        QWidget* w = m_boxes.value(item.key);
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
    for (int draft : m_order) {
        QWidget::setTabOrder(previous, m_start[draft]);
        QWidget::setTabOrder(m_start[draft], m_end[draft]);
        previous = m_end[draft];
    }
    m_boxes.value(QStringLiteral("surveyor"))->setFocus();
}

QString ParticularsDialog::textOf(const QString& key) const
{
    QWidget* w = m_boxes.value(key);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text().trimmed();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText().trimmed();
    if (auto* text = qobject_cast<QPlainTextEdit*>(w))
        return text->toPlainText().trimmed();
    return QString();
}

void ParticularsDialog::accept()
{
    // A pasted tab or control character would reach the sheet and the survey file: the box
    // keeps the focus and the surveyor is told.
    SurveyParticulars particulars;
    for (const SurveyParticulars::Item& item : SurveyParticulars::items()) {
        const QString value = textOf(item.key);
        if (const std::optional<QString> why = SurveyParticulars::refusal(item.key, value)) {
            MessageService::show(QStringLiteral("%1 cannot be taken: %2.").arg(item.label, *why),
                Msg::Buttons::Ok, Msg::Icon::Exclamation);
            m_boxes.value(item.key)->setFocus();
            return;
        }
        particulars.setValue(item.key, value);
    }
    for (int draft : m_order) {
        for (QLineEdit* e : {m_start[draft], m_end[draft]}) {
            const QString time = e->text();
            const bool control = std::any_of(
                time.begin(), time.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
            if (control) {
                MessageService::show(QStringLiteral("A time cannot hold a control character."),
                    Msg::Buttons::Ok, Msg::Icon::Exclamation);
                e->setFocus();
                return;
            }
        }
    }
    m_survey.setParticulars(particulars);
    for (int draft : m_order) {
        m_survey.draft(draft).setReadingsStart(m_start[draft]->text().trimmed());
        m_survey.draft(draft).setReadingsEnd(m_end[draft]->text().trimmed());
    }
    QDialog::accept();
}
