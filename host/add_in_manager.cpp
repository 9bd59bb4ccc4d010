#include "host/add_in_manager.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "host/workbench.h"

namespace rw::host {

AddInManager::AddInManager(const std::vector<AddInEntry>& entries, const Workbench& workbench, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmAddInManager"));
    setWindowTitle(QStringLiteral("Add-In Manager"));
    for (const AddInEntry& entry : entries)
        rows_.push_back({entry, workbench.isConnected(entry.progId), entry.loadOnStartup});

    lstAddIns = new QTreeWidget(this);
    lstAddIns->setObjectName(QStringLiteral("lstAddIns"));
    lstAddIns->setHeaderLabels({QStringLiteral("Available Add-Ins"), QStringLiteral("Load Behavior")});
    lstAddIns->setRootIsDecorated(false);
    lstAddIns->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (const Row& row : rows_) {
        auto* item = new QTreeWidgetItem(lstAddIns);
        item->setText(0, QString::fromStdString(row.entry.displayName.empty() ? row.entry.progId : row.entry.displayName));
        item->setText(1, behaviourText(row));
    }

    auto* descriptionBox = new QGroupBox(QStringLiteral("Description"), this);
    lblDescription = new QLabel(descriptionBox);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDescription->setMinimumHeight(80);
    (new QVBoxLayout(descriptionBox))->addWidget(lblDescription);

    auto* behaviourBox = new QGroupBox(QStringLiteral("Load Behavior"), this);
    chkLoaded = new QCheckBox(QStringLiteral("&Loaded/Unloaded"), behaviourBox);
    chkLoaded->setObjectName(QStringLiteral("chkLoaded"));
    chkLoadOnStartup = new QCheckBox(QStringLiteral("Load on &Startup"), behaviourBox);
    chkLoadOnStartup->setObjectName(QStringLiteral("chkLoadOnStartup"));
    auto* behaviourLayout = new QVBoxLayout(behaviourBox);
    behaviourLayout->addWidget(chkLoaded);
    behaviourLayout->addWidget(chkLoadOnStartup);
    behaviourLayout->addStretch();

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* lower = new QHBoxLayout;
    lower->addWidget(descriptionBox, 3);
    lower->addWidget(behaviourBox, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstAddIns);
    layout->addLayout(lower);
    layout->addWidget(buttons);
    resize(520, 380);

    connect(lstAddIns, &QTreeWidget::currentItemChanged, this, &AddInManager::showRow);
    connect(chkLoaded, &QCheckBox::toggled, this, &AddInManager::boxesChanged);
    connect(chkLoadOnStartup, &QCheckBox::toggled, this, &AddInManager::boxesChanged);
    if (!rows_.empty()) select(0);
    showRow();
}

QString AddInManager::behaviourText(const Row& row) {
    if (row.loadOnStartup && row.loaded) return QStringLiteral("Startup / Loaded");
    if (row.loadOnStartup) return QStringLiteral("Startup");
    if (row.loaded) return QStringLiteral("Loaded");
    return {};
}

void AddInManager::select(int row) { lstAddIns->setCurrentItem(lstAddIns->topLevelItem(row)); }

void AddInManager::showRow() {
    const int index = lstAddIns->currentItem() != nullptr ? lstAddIns->indexOfTopLevelItem(lstAddIns->currentItem()) : -1;
    const bool any = index >= 0;
    showing_ = true;
    chkLoaded->setEnabled(any);
    chkLoadOnStartup->setEnabled(any);
    chkLoaded->setChecked(any && rows_[static_cast<std::size_t>(index)].loaded);
    chkLoadOnStartup->setChecked(any && rows_[static_cast<std::size_t>(index)].loadOnStartup);
    lblDescription->setText(any ? QString::fromStdString(rows_[static_cast<std::size_t>(index)].entry.description)
                                : QString());
    showing_ = false;
}

void AddInManager::boxesChanged() {
    if (showing_ || lstAddIns->currentItem() == nullptr) return;
    const int index = lstAddIns->indexOfTopLevelItem(lstAddIns->currentItem());
    Row& row = rows_[static_cast<std::size_t>(index)];
    row.loaded = chkLoaded->isChecked();
    row.loadOnStartup = chkLoadOnStartup->isChecked();
    lstAddIns->currentItem()->setText(1, behaviourText(row));
}

}  // namespace rw::host
