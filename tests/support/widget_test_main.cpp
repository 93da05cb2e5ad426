// Test main for the windows: widgets need a QApplication, which runs on the
// offscreen platform so that no display is needed and no window is seen. The
// user's Qt settings (the recent databases) are kept in a folder of the run's
// own, never in the settings of the person running the tests.
#include "tests/support/test_folder.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Deletes the dialog watchers a test left waiting for a dialog that never
// came, so that none acts on the next test's dialogs.
class ModalWatcherSweep : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        const QList<QTimer*> watchers = QCoreApplication::instance()->findChildren<QTimer*>(
            QStringLiteral("tavik-test-modal-watcher"), Qt::FindDirectChildrenOnly);
        qDeleteAll(watchers);
    }
};

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const tavik::test::TestFolder settings("qt_settings");
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(settings.path()));
    QCoreApplication::setOrganizationName(QStringLiteral("Tavik"));
    QCoreApplication::setApplicationName(QStringLiteral("tavik-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ModalWatcherSweep);
    return RUN_ALL_TESTS();
}
