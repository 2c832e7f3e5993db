// The face of the Ship Particulars window: its boxes in the order the Tab key visits them, their
// captions and units, the notes and the legend, and the wiring of edits and keys.
#include "ui/FieldGuard.h"
#include "ui/TextLimit.h"
#include "ships/ShipParticularsWindow.h"
#include "ui/NameCombo.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QValidator>
#include <QVBoxLayout>

using ShipFieldRules::NumberField;

namespace {

// Keeps a number box within its length while the user types, without ever cutting off the
// decimals that decide how the figure rounds.
class NumberLengthValidator : public QValidator {
public:
    NumberLengthValidator(NumberField field, QObject* parent) : QValidator(parent), m_field(field) {}
    State validate(QString& input, int&) const override
    {
        return ShipFieldRules::fitsLength(m_field, input) ? Acceptable : Invalid;
    }

private:
    NumberField m_field;
};

struct NumberBox {
    NumberField field;
    const char* label;
    const char* unit;
    bool mandatory;
};

// The number boxes in the order the Tab key visits them.
const NumberBox kLeadingNumbers[] = {
    {NumberField::LightShip, "Light Ship", "MT", true},
    {NumberField::LBP, "LBP", "m", true},
    {NumberField::Breadth, "Breadth", "m", true},
    {NumberField::LOA, "LOA", "m", true},
};
const NumberBox kTrailingNumbers[] = {
    {NumberField::OfficialNo, "Official No.", "", false},
    {NumberField::IMONo, "IMO No.", "", false},
    {NumberField::SummerDraft, "Summer Draft", "m", false},
    {NumberField::SummerDeadweight, "Summer Deadweight", "MT", false},
    {NumberField::GrossTonnage, "Gross Tonnage", "", false},
    {NumberField::NetTonnage, "Net Tonnage", "", false},
    {NumberField::KeelPlate, "Keel Plate", "mm", false},
};

}  // namespace

void ShipParticularsWindow::buildLayout()
{
    auto* outer = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Ship Particulars"), this);
    heading->setObjectName(QStringLiteral("lblHeading"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    heading->setFont(headingFont);
    outer->addWidget(heading);

    auto* grid = new QGridLayout;
    outer->addLayout(grid);
    int row = 0;
    // label | asterisk | box | unit, one row per field
    auto addRow = [&](const QString& label, const QString& name, QWidget* box, bool mandatory,
                      const QString& unit) {
        auto* caption = new QLabel(label, this);
        caption->setObjectName(QStringLiteral("lbl") + name.mid(3));
        caption->setBuddy(box);
        grid->addWidget(caption, row, 0);
        if (mandatory) {
            auto* star = new QLabel(QStringLiteral("*"), this);
            star->setObjectName(QStringLiteral("lblStar") + name.mid(3));
            grid->addWidget(star, row, 1);
        }
        box->setObjectName(name);
        grid->addWidget(box, row, 2);
        if (!unit.isEmpty()) {
            auto* unitLabel = new QLabel(unit, this);
            unitLabel->setObjectName(QStringLiteral("lblUnit") + name.mid(3));
            grid->addWidget(unitLabel, row, 3);
        }
        ++row;
    };

    cmbShipName = new QComboBox(this);
    cmbShipName->setEditable(true);
    cmbShipName->setInsertPolicy(QComboBox::NoInsert);
    cmbShipName->setCompleter(nullptr);  // the name is taken as typed, never completed
    NameCombo::prepare(cmbShipName, 30);
    // The 50 characters typing stops at hold for a pasted name too.
    TextLimit::limitTrimmed(cmbShipName->lineEdit(), 50);
    addRow(QStringLiteral("Ship Name"), QStringLiteral("cmbShipName"), cmbShipName, true, QString());

    dcbPortOfRegistry = new QComboBox(this);
    NameCombo::prepare(dcbPortOfRegistry, 20);
    addRow(QStringLiteral("Port Of Registry"), QStringLiteral("dcbPortOfRegistry"), dcbPortOfRegistry, true,
           QString());

    QList<QWidget*> tabOrder{cmbShipName, dcbPortOfRegistry};
    auto addNumber = [&](const NumberBox& b) {
        auto* box = new QLineEdit(this);
        box->setValidator(new NumberLengthValidator(b.field, box));
        m_numbers.insert(b.field, box);
        addRow(QString::fromLatin1(b.label), ShipFieldRules::rule(b.field).objectName, box, b.mandatory,
               QString::fromLatin1(b.unit));
        tabOrder.append(box);
    };
    for (const NumberBox& b : kLeadingNumbers)
        addNumber(b);

    txtCallSign = new QLineEdit(this);
    txtCallSign->setMaxLength(10);
    addRow(QStringLiteral("Call Sign"), QStringLiteral("txtCallSign"), txtCallSign, false, QString());
    txtFlag = new QLineEdit(this);
    txtFlag->setMaxLength(50);
    addRow(QStringLiteral("Flag"), QStringLiteral("txtFlag"), txtFlag, false, QString());
    tabOrder << txtCallSign << txtFlag;

    for (const NumberBox& b : kTrailingNumbers)
        addNumber(b);
    grid->setColumnStretch(2, 1);

    for (int i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    auto* note = new QLabel(QStringLiteral("NOTE: Fields marked with asterisk (*) are mandatory."), this);
    note->setObjectName(QStringLiteral("lblNote"));
    outer->addWidget(note);
    auto* portHint =
        new QLabel(QStringLiteral("To add new port select  Ship Data  -> Port from main menu."), this);
    portHint->setObjectName(QStringLiteral("lblPortHint"));
    outer->addWidget(portHint);
    auto* cmdHydrostatics = new QPushButton(QStringLiteral("Hydrostatic Table..."), this);
    cmdHydrostatics->setObjectName(QStringLiteral("cmdHydrostatics"));
    cmdHydrostatics->setAutoDefault(false);
    connect(cmdHydrostatics, &QPushButton::clicked, this, &ShipParticularsWindow::openHydrostaticTable);
    // Alt+K: the main window's menus hold F, S, D, T, W and H.
    auto* cmdTankTables = new QPushButton(QStringLiteral("Tan&k Tables..."), this);
    cmdTankTables->setObjectName(QStringLiteral("cmdTankTables"));
    cmdTankTables->setAutoDefault(false);
    connect(cmdTankTables, &QPushButton::clicked, this, &ShipParticularsWindow::openTankTables);
    auto* tableButtons = new QHBoxLayout;
    tableButtons->addWidget(cmdHydrostatics);
    tableButtons->addWidget(cmdTankTables);
    tableButtons->addStretch(1);
    outer->addLayout(tableButtons);

    auto* legend = new QGroupBox(QStringLiteral("Legend"), this);
    legend->setObjectName(QStringLiteral("fmeLegend"));
    auto* legendLayout = new QVBoxLayout(legend);
    const char* legendLines[] = {"Ctrl-N : Add new record", "Ctrl-S : Save record",
                                 "Ctrl-F4 : Close window"};
    int n = 0;
    for (const char* line : legendLines) {
        auto* l = new QLabel(QString::fromLatin1(line), legend);
        l->setObjectName(QStringLiteral("lblLegend%1").arg(++n));
        legendLayout->addWidget(l);
    }
    outer->addWidget(legend);
    outer->addStretch(1);

    // Edits, and the keys the form handles itself.
    connect(cmbShipName->lineEdit(), &QLineEdit::textEdited, this, &ShipParticularsWindow::nameEdited);
    connect(cmbShipName, &QComboBox::activated, this, &ShipParticularsWindow::shipPicked);
    connect(dcbPortOfRegistry, &QComboBox::currentIndexChanged, this, &ShipParticularsWindow::markDirty);
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        if (box != cmbShipName->lineEdit())
            connect(box, &QLineEdit::textChanged, this, &ShipParticularsWindow::markDirty);
    }
    for (QWidget* w : tabOrder)
        w->installEventFilter(this);
    cmbShipName->lineEdit()->installEventFilter(this);

    for (auto it = m_numbers.constBegin(); it != m_numbers.constEnd(); ++it) {
        const NumberField field = it.key();
        m_guard->setCheck(it.value(), [this, field] { return checkNumberField(field); });
    }
    m_textFields = {{cmbShipName->lineEdit(), QStringLiteral("Ship name"), ShipFieldRules::checkTitle()},
                    {txtCallSign, QStringLiteral("Call sign"), ShipFieldRules::checkTitle()},
                    {txtFlag, QStringLiteral("Flag"), ShipFieldRules::checkTitle()}};
    NameFields::guard(*m_guard, m_textFields);
}
