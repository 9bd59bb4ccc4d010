#include "wizard/frm_fields.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <memory>

#include "answers/answers.h"
#include "model/product.h"
#include "run/run.h"
#include "wizard/frm_add_in_main.h"
#include "wizard/frm_choose_tables.h"
#include "wizard/frm_connection.h"
#include "wizard/frm_project.h"
#include "wizard/frm_report.h"

namespace rw::wizard {

namespace {

// The columns the grid shows, each the field row column of that index.
constexpr int kShownColumns = 4;

// Loading more tables than this shows a progress dialog with Cancel.
constexpr std::size_t kProgressAfterTables = 5;

// The dialog that counts the tables loaded, over the table page; null for
// a few tables. It shows once the loading looks like taking longer than
// `delayMs`.
std::unique_ptr<QProgressDialog> loadingDialog(QWidget* over, std::size_t tables, int delayMs) {
    if (tables <= kProgressAfterTables) return nullptr;
    auto dialog = std::make_unique<QProgressDialog>(QStringLiteral("Loading fields..."), QStringLiteral("Cancel"), 0,
                                                    static_cast<int>(tables), over);
    dialog->setObjectName(QStringLiteral("dlgLoadingFields"));
    dialog->setWindowTitle(QString::fromLatin1(product::kDisplayName));
    // Nothing else may be used while the pages' connection is being read.
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setMinimumDuration(delayMs);
    dialog->setValue(0);
    return dialog;
}

std::optional<std::string> propertyOrNothing(const Connection& conn, const char* name) {
    try {
        return conn.property(name);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

}  // namespace

int FieldGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(grid_.rowCount());
}

int FieldGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kShownColumns; }

QVariant FieldGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const FieldRow& row = grid_.row(static_cast<std::size_t>(index.row()));
    switch (index.column()) {
    case kColumnTable:
        return role == Qt::DisplayRole ? QVariant(qs(row.table)) : QVariant();
    case kColumnField:
        return role == Qt::DisplayRole ? QVariant(qs(row.field)) : QVariant();
    case kColumnPrimary:
    case kColumnAuto: {
        const bool on = index.column() == kColumnPrimary ? row.primary : row.autoNumber;
        if (role == Qt::CheckStateRole) return on ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::ToolTipRole)
            return index.column() == kColumnPrimary
                       ? QStringLiteral("Part of the primary key")
                       : QStringLiteral("Filled by the database on insert (identity or AutoNumber)");
        return {};
    }
    default:
        return {};
    }
}

QVariant FieldGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    static const char* const captions[kShownColumns] = {"Table", "Field", "Primary", "Auto"};
    return section >= 0 && section < kShownColumns ? QVariant(QString::fromLatin1(captions[section])) : QVariant();
}

Qt::ItemFlags FieldGridModel::flags(const QModelIndex& index) const {
    // The check boxes change only through the page's click rule, never by
    // the view on its own.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void FieldGridModel::reload() {
    beginResetModel();
    endResetModel();
}

void FieldGridModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, kShownColumns - 1), {Qt::CheckStateRole});
}

void FieldGridModel::marksChanged() {
    if (rowCount() > 0) emit dataChanged(index(0, kColumnPrimary), index(rowCount() - 1, kColumnAuto), {Qt::CheckStateRole});
}

FrmFields::FrmFields(Wizard& wizard) : WizardPage(wizard, "frmFields", 5) {
    txtInstructions = new QPlainTextEdit(this);
    txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    txtInstructions->setReadOnly(true);
    txtInstructions->setFocusPolicy(Qt::NoFocus);
    txtInstructions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    model_ = new FieldGridModel(logic_.grdFields, this);
    grdFields = new QTableView(this);
    grdFields->setObjectName(QStringLiteral("grdFields"));
    grdFields->setModel(model_);
    // Rows are selected whole, several at a time (Shift, Ctrl), so that
    // Space and the context menu mark many rows at once.
    grdFields->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdFields->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdFields->setAlternatingRowColors(true);
    grdFields->verticalHeader()->setVisible(false);
    grdFields->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    QHeaderView* header = grdFields->horizontalHeader();
    header->setSectionResizeMode(kColumnTable, QHeaderView::Stretch);
    header->setSectionResizeMode(kColumnField, QHeaderView::Stretch);
    header->setSectionResizeMode(kColumnPrimary, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kColumnAuto, QHeaderView::ResizeToContents);
    grdFields->installEventFilter(this);

    auto addMenuAction = [this](const char* name, const char* caption, int column, bool on) {
        auto* a = new QAction(QString::fromLatin1(caption), grdFields);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, column, on] { markSelection(column, on); });
        grdFields->addAction(a);
        return a;
    };
    mnuPrimaryOn = addMenuAction("mnuPrimaryOn", "Primary on", kColumnPrimary, true);
    mnuPrimaryOff = addMenuAction("mnuPrimaryOff", "Primary off", kColumnPrimary, false);
    mnuAutoOn = addMenuAction("mnuAutoOn", "Auto on", kColumnAuto, true);
    mnuAutoOff = addMenuAction("mnuAutoOff", "Auto off", kColumnAuto, false);
    grdFields->setContextMenuPolicy(Qt::ActionsContextMenu);

    cmdDetectKeys = new QPushButton(QStringLiteral("&Detect Keys"), this);
    cmdDetectKeys->setObjectName(QStringLiteral("cmdDetectKeys"));
    cmdDetectKeys->setAutoDefault(false);
    cmdDetectKeys->setToolTip(QStringLiteral("Tick Primary and Auto where the database reports a primary key or a "
                                             "column it fills by itself (marks already ticked stay)"));

    auto* gridColumn = new QVBoxLayout;
    gridColumn->addWidget(grdFields, 1);
    auto* gridButtons = new QHBoxLayout;
    gridButtons->addStretch(1);
    gridButtons->addWidget(cmdDetectKeys);
    gridColumn->addLayout(gridButtons);
    auto* columns = new QHBoxLayout;
    columns->addWidget(txtInstructions, 2);
    columns->addLayout(gridColumn, 3);
    body()->addLayout(columns, 1);

    // Finish runs the generation; it is pressed on purpose, never by Enter.
    connect(grdFields, &QTableView::clicked, this, &FrmFields::grdFields_Click);
    connect(cmdDetectKeys, &QPushButton::clicked, this, &FrmFields::cmdDetectKeys_Click);
    connect(cmdBack, &QPushButton::clicked, this, &FrmFields::cmdBack_Click);
    connect(cmdFinish, &QPushButton::clicked, this, &FrmFields::cmdFinish_Click);
    // Next has no action on the last page.
    cmdNext->setEnabled(false);

    resize(820, 520);
}

FrmFields::~FrmFields() {
    // The view goes before the rows it shows.
    delete grdFields;
    grdFields = nullptr;
}

bool FrmFields::display(FrmChooseTables& tables, FrmAddInMain& main, FrmProject& project,
                        FrmConnection& connection) {
    vfrmChooseTables = &tables;
    vfrmMain = &main;
    vfrmProject = &project;
    vfrmConnection = &connection;
    bool shown = false;
    if (DataConnection* conn = connection.moConn()) {
        const std::vector<std::string> chosen = tables.chosenTables();
        const std::unique_ptr<QProgressDialog> progress =
            loadingDialog(&tables, chosen.size(), wizard().services().fieldsProgressDelayMs);
        FieldLoadOptions options;
        if (progress)
            options.progress = [&progress](std::size_t done, std::size_t total) {
                progress->setLabelText(QStringLiteral("Loading fields: table %1 of %2").arg(done).arg(total));
                progress->setValue(static_cast<int>(done));  // lets the Cancel button be pressed
                return !progress->wasCanceled();
            };
        // The loader shows its own errors as this page's Display; a
        // cancelled loading shows nothing and leaves no row.
        shown = logic_.display(ui(), settings_, main.options(), project.values(), connection.values(), *conn,
                               chosen, options);
        model_->reload();
        setWindowTitle(qs(logic_.caption));
        txtInstructions->setPlainText(displayText(logic_.txtInstructions));
    }
    if (shown) {
        handler("Display", [&] { showInPlaceOf(&tables); });
    } else {
        // A page that failed to load is not kept: the next Next loads a
        // fresh one.
        unload();
    }
    return shown;
}

bool FrmFields::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grdFields && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        // Space clicks the current cell's box (Primary when the current
        // cell is no box) in every selected row.
        const int column = grdFields->currentIndex().column() == kColumnAuto ? kColumnAuto : kColumnPrimary;
        std::vector<std::size_t> rows = selectedRows();
        if (rows.empty() && grdFields->currentIndex().isValid())
            rows.push_back(static_cast<std::size_t>(grdFields->currentIndex().row()));
        logic_.toggle(ui(), rows, column);
        model_->marksChanged();
        return true;
    }
    return WizardPage::eventFilter(watched, event);
}

void FrmFields::grdFields_Click(const QModelIndex& index) {
    if (!index.isValid()) return;
    const int column = index.column();
    if (column != kColumnPrimary && column != kColumnAuto) return;
    // The click rule shows its own errors.
    logic_.click(ui(), static_cast<std::size_t>(index.row()), column);
    model_->rowChanged(index.row());
}

std::vector<std::size_t> FrmFields::selectedRows() const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : grdFields->selectionModel()->selectedRows())
        rows.push_back(static_cast<std::size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FrmFields::markSelection(int column, bool on) {
    logic_.mark(ui(), selectedRows(), column, on);
    model_->marksChanged();
}

void FrmFields::cmdDetectKeys_Click() {
    if (vfrmConnection == nullptr || vfrmConnection->moConn() == nullptr) return;
    // The detection shows its own errors.
    logic_.detectKeys(ui(), *vfrmConnection->moConn());
    model_->marksChanged();
}

void FrmFields::cmdBack_Click() {
    handler("cmdBack_Click", [&] {
        if (vfrmChooseTables) vfrmChooseTables->showInPlaceOf(this);
        unload();
    });
}

std::string FrmFields::answersText() const {
    Answers a;
    a.options = {settings_.mbModuleHeaders, settings_.mbFunctionHeaders, settings_.mbDevNotes,
                 settings_.mbErrorHandler, settings_.mbCode};
    a.project = settings_.project;
    if (settings_.mbLoadedProject && vfrmProject && vfrmProject->mvbpProject)
        a.loadedProject = vfrmProject->mvbpProject->fileName();
    a.connection = settings_.connection;
    if (vfrmConnection) {
        a.dsn = ss(vfrmConnection->txtDSN->text());
        a.user = vfrmConnection->userName();
        // The password is not written to the file: the field rows are in
        // it, so repeating the run opens no database.
    }
    if (vfrmChooseTables) a.tables = vfrmChooseTables->chosenTables();
    a.rows = logic_.grdFields.rows();
    if (vfrmConnection && vfrmConnection->moConn()) {
        a.dbmsName = propertyOrNothing(*vfrmConnection->moConn(), "DBMS Name");
        a.dataSourceName = propertyOrNothing(*vfrmConnection->moConn(), "Data Source Name");
    }
    return answersToJson(a);
}

void FrmFields::cmdFinish_Click() {
    handler("cmdFinish_Click", [&] {
        if (!vfrmConnection || vfrmConnection->moConn() == nullptr || !vfrmProject) return;
        WizardServices& s = wizard().services();
        RunEnvironment env{s.fs, ui(), s.clock, *vfrmConnection->moConn(), vfrmProject->mvbpProject, s.tempFolders};
        const RunOutcome outcome = runGeneration(settings_, logic_.grdFields, env);
        if (outcome.status != RunOutcome::Status::Completed) return;
        const std::string answers = answersText();
        hide();
        FrmReport& report = wizard().frmReport();
        report.setAnswers(answers);
        report.setWarnings(outcome.warnings);
        report.move(pos());
        report.display(outcome.reportText, outcome.reportFolder, outcome.reportFileName);
    });
}

}  // namespace rw::wizard
