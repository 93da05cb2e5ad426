#pragma once

#include "tests/support/sample_files.h"
#include "tests/support/test_folder.h"
#include "viewer/print/print_form_list.h"

#include <QImage>
#include <QPainter>

#include <string>

namespace tavik::test {

// A working folder that the viewer starts in: a 300 x 200 base map (light
// blue sea, two white islands with black coasts: west x 20-139, east x
// 160-279, y 20-179 and 40-159), one Lambert block centred on (E135, N35)
// at pixel (150, 100), about 52 pixels a degree; three areas, two species.
//
// Area 1 "West" is filled (seed N35 E133.40 -> pixel 66, 100); area 2
// "East" is filled (N35 E136.20 -> pixel 212, 100); area 3 is a mark.
inline void writeViewerDatabase(const TestFolder& folder, const std::string& distribution)
{
    QImage base(300, 200, QImage::Format_RGB32);
    base.fill(qRgb(180, 210, 255));
    {
        QPainter painter(&base);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawRect(20, 20, 119, 159);
        painter.drawRect(160, 40, 119, 119);
    }
    std::filesystem::create_directories(std::filesystem::path(folder.path()) / "BlankMap" / "t");
    base.save(QString::fromStdString(folder.file("BlankMap/t/t.png")));
    folder.write("BlankMap/t/t.cfg",
        "<blank-map>\n<map-block comment=\"main\">\n<projection>\n"
        "<lambert-e-a lon0=\"135\" lat0=\"35\" shift-x=\"0.05\" shift-y=\"0.0333333\" magnification=\"3000\"/>\n"
        "</projection>\n<polygon><vertex x=\"0\" y=\"0\"/><vertex x=\"300\" y=\"0\"/><vertex x=\"300\" y=\"200\"/>"
        "<vertex x=\"0\" y=\"200\"/></polygon>\n</map-block>\n</blank-map>\n");
    folder.write("Painter.cfg", kPainterCfg);
    folder.write("PrintForm.cfg", PrintFormList().text());
    folder.write("tavik.ini", "[Path]\r\nBlankMap=.\\BlankMap\\t\\t.png\r\n");
    folder.write("dbase/area.csv",
        "1,,,West,N35,E133.40,66,100,F\r\n"
        "2,,,East,N35,E136.20,212,100,F\r\n"
        "3,,,Town,N35.30,E136.30,0,0,\r\n");
    folder.write("dbase/WGS_JGS.csv", "5339,x,11.7,-10.8\r\n");
    folder.write("dbase/species.csv",
        "101,Papilio xuthus,Linnaeus,1767,,0,Papilionidae,Namiageha\r\n"
        "102,Papilio machaon,Linnaeus,1758,,0,Papilionidae,Kiageha\r\n");
    folder.write("dbase/ta_vik.csv", distribution);
}

} // namespace tavik::test
