// The two e-Gov dialogs of the ファイル menu. 「法令を追加（e-Gov）…」 searches
// as the user types (after a pause) and hands the chosen laws back;
// 「法令の更新を確認」 asks e-Gov for the current revision of every imported
// law and lists the revised ones. Neither writes anything: the window
// downloads and imports what they hand back (MainWindow::downloadAndImport).
#pragma once

#include "egov_online/operations.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tavrel::gui {

class AddLawsDialog : public QDialog {
    Q_OBJECT
  public:
    AddLawsDialog(const egov_online::ClientSettings& settings, QWidget* parent = nullptr);

    // The laws picked when 追加 was pressed.
    QList<egov_online::LawToDownload> chosenLaws() const;

  private:
    void search();
    void showResults(const QList<egov_online::LawEntry>& laws, const QString& error);

    egov_online::Client client_;
    QTimer debounce_;
    QLineEdit* title_;
    QLabel* status_;
    QTreeWidget* results_;
    QPushButton* add_;
};

class LawUpdatesDialog : public QDialog {
    Q_OBJECT
  public:
    LawUpdatesDialog(const egov_online::ClientSettings& settings, const QList<egov_online::ImportedLaw>& laws,
                     QWidget* parent = nullptr);

    // The revised laws, with the revision to download.
    QList<egov_online::LawToDownload> lawsToUpdate() const;

  private:
    void showChanges(const QList<egov_online::LawChange>& changes, const QString& error);

    egov_online::Client client_;
    egov_online::UpdateCheck check_;
    int lawCount_;
    QList<egov_online::LawChange> changes_;
    QLabel* status_;
    QTreeWidget* list_;
    QPushButton* update_;
};

}  // namespace tavrel::gui
