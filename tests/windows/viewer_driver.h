#pragma once

// Helpers that drive the viewer's windows in tests and in the screenshot
// program: a small database, modal dialogs acted on from inside their event
// loops, and tree items found by label.

#include "platform/cp932.h"
#include "tests/support/viewer_database.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <functional>
#include <memory>
#include <string>

namespace tavik::test {

// Runs `act` on the next modal dialog of type D, from inside the dialog's own
// event loop (its exec()), so that a test can check boxes, read texts and
// press buttons as a user would.
template <typename D> void onModal(std::function<void(D&)> act)
{
    // Owned by the application and named, so that the test main deletes a
    // watcher whose dialog never came when its test ends.
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setObjectName(QStringLiteral("tavik-test-modal-watcher"));
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, act, clock] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(*dialog);
        } else if (clock->elapsed() > 20000) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

// The first item of a tree whose label starts with `prefix` (UTF-8).
inline QTreeWidgetItem* treeItem(QTreeWidget& tree, const std::string& prefix)
{
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        if ((*it)->text(0).startsWith(QString::fromStdString(prefix)))
            return *it;
    }
    return nullptr;
}

// The viewer database of writeViewerDatabase with twelve species in two
// families (101-106 Papilionidae, 107-112 Pieridae) and captions for the
// three names; extraPath adds lines to the [Path] section. 101 fills area 1 (West), 102 fills area 2 (East), 103 has a
// mark on area 3, 104 fills West in rank B.
inline void writeTwelveSpecies(const TestFolder& folder, const std::string& extraPath = "")
{
    writeViewerDatabase(folder, "101,1,A\r\n102,2,A\r\n103,3,A\r\n104,1,B\r\n");
    folder.write("dbase/phyletic.csv",
        cp932Literal("1,Papilionidae,0,アゲハチョウ科,Swallowtails\r\n2,Pieridae,0,シロチョウ科,Whites\r\n"));
    folder.write("dbase/species.csv",
        cp932Literal("101,Papilio xuthus,Linnaeus,1767,,1,,アゲハ,,Ageha\r\n"
                     "102,Papilio machaon,Linnaeus,1758,,1,,キアゲハ,,Kiageha\r\n"
                     "103,Papilio protenor,Cramer,1775,,1,,クロアゲハ,,Kuroageha\r\n"
                     "104,Papilio helenus,Linnaeus,1758,,1,,モンキアゲハ,,Monkiageha\r\n"
                     "105,Graphium sarpedon,Linnaeus,1758,,1,,アオスジアゲハ,,Aosuji\r\n"
                     "106,Byasa alcinous,Klug,1836,C,1,,ジャコウアゲハ,,Jakou\r\n"
                     "107,Pieris rapae,Linnaeus,1758,,2,,モンシロチョウ,,Monshiro\r\n"
                     "108,Pieris melete,Menetries,1857,,2,,スジグロシロチョウ,,Sujiguro\r\n"
                     "109,Colias erate,Esper,1805,,2,,モンキチョウ,,Monki\r\n"
                     "110,Eurema mandarina,de l'Orza,1869,,2,,キタキチョウ,,Kitaki\r\n"
                     "111,Anthocharis scolymus,Butler,1866,,2,,ツマキチョウ,,Tsumaki\r\n"
                     "112,Gonepteryx maxima,Butler,1885,,2,,ヤマキチョウ,,Yamaki\r\n"));
    folder.write("tavik.ini",
        cp932Literal("[Display]\r\nFrameTitle=テストの地図\r\nDispScientificName=yes\r\nDispAlias1=yes\r\n"
                     "ScientificNameStr=学名\r\nAlias1NameStr=和名\r\nAlias2NameStr=ローマ字\r\n"
                     "DisplayFontFace=IPAPGothic\r\n[Path]\r\nBlankMap=.\\BlankMap\\t\\t.png\r\n"
            + extraPath));
}

} // namespace tavik::test
