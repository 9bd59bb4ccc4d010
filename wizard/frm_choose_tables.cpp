#include "wizard/frm_choose_tables.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "wizard/frm_add_in_main.h"
#include "wizard/frm_connection.h"
#include "wizard/frm_fields.h"
#include "wizard/frm_project.h"

namespace rw::wizard {

namespace {

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QListWidget* makeList(QWidget* parent, const char* name) {
    auto* list = named(new QListWidget(parent), name);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

}  // namespace

FrmChooseTables::FrmChooseTables(Wizard& wizard) : WizardPage(wizard, "frmChooseTables", 4) {
    Label2 = named(new QLabel(this), "Label2");
    Label2->setWordWrap(true);
    Label2->setText(qs(TablePage::instructions()));
    setWindowTitle(qs(TablePage::caption()));
    body()->addWidget(Label2);

    lstNo = makeList(this, "lstNo");
    lstYes = makeList(this, "lstYes");
    auto moveButton = [this](const char* name, const char* caption, const char* tip) {
        auto* b = named(new QPushButton(QString::fromLatin1(caption), this), name);
        b->setAutoDefault(false);
        b->setToolTip(QString::fromLatin1(tip));
        return b;
    };
    cmdInclude = moveButton("cmdInclude", ">", "Include the selected tables");
    cmdDontInclude = moveButton("cmdDontInclude", "<", "Exclude the selected tables");
    cmdIncludeAll = moveButton("cmdIncludeAll", ">>", "Include every table");
    cmdDontIncludeAll = moveButton("cmdDontIncludeAll", "<<", "Exclude every table");

    auto* noLabel = new QLabel(QStringLiteral("&Exclude"), this);
    noLabel->setBuddy(lstNo);
    auto* yesLabel = new QLabel(QStringLiteral("&Include"), this);
    yesLabel->setBuddy(lstYes);
    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    for (QPushButton* b : {cmdInclude, cmdDontInclude, cmdIncludeAll, cmdDontIncludeAll}) middle->addWidget(b);
    middle->addStretch(1);

    auto* grid = new QGridLayout;
    grid->addWidget(noLabel, 0, 0);
    grid->addWidget(yesLabel, 0, 2);
    grid->addWidget(lstNo, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(lstYes, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    body()->addLayout(grid, 1);
    // Tab goes from one list through the buttons between them to the other.
    setTabOrder(cmdDontIncludeAll, lstYes);

    cmdNext->setDefault(true);
    connect(cmdNext, &QPushButton::clicked, this, &FrmChooseTables::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &FrmChooseTables::cmdBack_Click);
    connect(cmdInclude, &QPushButton::clicked, this, [this] { move(&TablePage::include); });
    connect(cmdDontInclude, &QPushButton::clicked, this, [this] { move(&TablePage::dontInclude); });
    connect(cmdIncludeAll, &QPushButton::clicked, this, [this] { move(&TablePage::includeAll); });
    connect(cmdDontIncludeAll, &QPushButton::clicked, this, [this] { move(&TablePage::dontIncludeAll); });

    resize(620, 440);
}

bool FrmChooseTables::display(FrmAddInMain& main, FrmProject& project, FrmConnection& connection) {
    bool shown = false;
    handler("Display", [&] {
        vfrmMain = &main;
        vfrmProject = &project;
        vfrmConnection = &connection;
        DataConnection* conn = connection.moConn();
        if (conn == nullptr) return;
        if (logic_.display(ui(), *conn) != TablePage::Shown::Yes) return;
        showLists();
        showInPlaceOf(&connection);
        shown = true;
    });
    // A page that cannot be shown is not kept loaded behind the others.
    if (!shown) unload();
    return shown;
}

void FrmChooseTables::formActivate() {
    handler("Form_Activate", [&] {
        setWindowTitle(qs(TablePage::caption()));
        Label2->setText(qs(TablePage::instructions()));
    });
}

void FrmChooseTables::takeSelection() {
    auto take = [](const QListWidget* list, std::vector<ListEntry>& entries) {
        for (int i = 0; i < list->count() && i < static_cast<int>(entries.size()); ++i)
            entries[static_cast<std::size_t>(i)].selected = list->item(i)->isSelected();
    };
    take(lstNo, logic_.lstNo);
    take(lstYes, logic_.lstYes);
}

void FrmChooseTables::showLists() {
    auto show = [](QListWidget* list, const std::vector<ListEntry>& entries) {
        list->clear();
        for (const ListEntry& e : entries) list->addItem(qs(e.text));
    };
    show(lstNo, logic_.lstNo);
    show(lstYes, logic_.lstYes);
}

void FrmChooseTables::move(void (TablePage::*how)(Ui&)) {
    takeSelection();
    (logic_.*how)(ui());  // the move shows its own errors
    showLists();
}

void FrmChooseTables::cmdNext_Click() {
    handler("cmdNext_Click", [&] {
        if (!vfrmMain || !vfrmProject || !vfrmConnection) return;
        const bool fieldsShown = logic_.next(ui(), [&] {
            return wizard().frmFields().display(*this, *vfrmMain, *vfrmProject, *vfrmConnection);
        });
        if (fieldsShown) hide();
    });
}

void FrmChooseTables::cmdBack_Click() {
    handler("cmdBack_Click", [&] {
        if (vfrmConnection) vfrmConnection->showInPlaceOf(this);
        unload();
    });
}

}  // namespace rw::wizard
