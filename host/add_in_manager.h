#pragma once
// The Add-In Manager: the registered add-ins with what each one's load
// behaviour is, and for the selected one whether it is loaded and whether
// it loads on start-up. Nothing changes until OK.
#include <QDialog>
#include <vector>

#include "host/add_in.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QTreeWidget;

namespace rw::host {

class Workbench;

class AddInManager final : public QDialog {
    Q_OBJECT

public:
    struct Row {
        AddInEntry entry;  // as registered
        bool loaded;       // as chosen
        bool loadOnStartup;
    };

    AddInManager(const std::vector<AddInEntry>& entries, const Workbench& workbench, QWidget* parent = nullptr);

    // The choices, one row per registered add-in.
    const std::vector<Row>& rows() const { return rows_; }
    // Selects the row of an add-in (tests and keyboard users alike).
    void select(int row);

    QTreeWidget* lstAddIns = nullptr;
    QLabel* lblDescription = nullptr;
    QCheckBox* chkLoaded = nullptr;
    QCheckBox* chkLoadOnStartup = nullptr;
    QDialogButtonBox* buttons = nullptr;

private:
    void showRow();
    void boxesChanged();
    static QString behaviourText(const Row& row);

    std::vector<Row> rows_;
    bool showing_ = false;
};

}  // namespace rw::host
