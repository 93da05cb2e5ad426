#pragma once

#include "platform/paths.h"

#include <QDialog>

#include <vector>

class QListWidget;
class QPushButton;

namespace tavik {

class MessageSink;

// The start of the windowed viewer where no database is open yet (tavik
// started from the menu, in a folder without tavik.ini): open a database
// folder, one of the recently opened ones, or a copy of the sample made for
// the user. A folder chosen without tavik.ini is said so in one message, and
// the dialog stays.
class StartDialog : public QDialog {
    Q_OBJECT
public:
    // recent: the recently opened database folders, most recent first.
    // sampleFolder: the installed sample, empty when none is. proposedCopy:
    // where the sample's copy is proposed (~/Tavik).
    StartDialog(std::vector<LocalPath> recent, LocalPath sampleFolder, LocalPath proposedCopy, MessageSink& messages,
        QWidget* parent = nullptr);

    // The database folder chosen, once the dialog is accepted.
    const LocalPath& folder() const { return folder_; }

    QListWidget* recentList() const { return recentList_; }
    QPushButton* sampleButton() const { return sampleButton_; }

    // Takes a folder as the database to open when it holds one; else says
    // so and returns false.
    bool chooseFolder(const LocalPath& folder);
    // Copies the sample into `target` and takes the copy; a target that
    // already holds a database is taken as it is.
    bool openSampleCopy(const LocalPath& target);

private:
    void browse();
    void askForSampleCopy();

    std::vector<LocalPath> recent_;
    LocalPath sampleFolder_;
    LocalPath proposedCopy_;
    MessageSink& messages_;
    LocalPath folder_;
    QListWidget* recentList_;
    QPushButton* sampleButton_;
};

} // namespace tavik
