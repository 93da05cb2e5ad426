#pragma once

// Small valid configuration files for tests that run the viewer's start-up.

namespace tavik::test {

// Slot 1 red filled circles (fills pink), slot 2 blue crosses (fills light
// blue), slot 3 green squares; ranks B, C, Z darker. Overlap shift (4, -3).
inline const char* const kPainterCfg = "<painter>\n"
                                       "\t<overlap shift-x=\"4\" shift-y=\"-3\"/>\n"
                                       "\t<font facename=\"Century\" size=\"10.0\" bold=\"false\" italic=\"false\"/>\n"
                                       "\t<target comment=\"first\">\n"
                                       "\t\t<mark shape=\"filled-circle\" size=\"10.0\" thickness=\"1\"/>\n"
                                       "\t\t<rank-a markcolor=\"255,0,0\" fillcolor=\"255,160,160\"/>\n"
                                       "\t\t<rank-b markcolor=\"200,0,0\" fillcolor=\"200,120,120\"/>\n"
                                       "\t\t<rank-c markcolor=\"150,0,0\" fillcolor=\"150,90,90\"/>\n"
                                       "\t\t<rank-z markcolor=\"100,0,0\" fillcolor=\"100,60,60\"/>\n"
                                       "\t</target>\n"
                                       "\t<target comment=\"second\">\n"
                                       "\t\t<mark shape=\"cross\" size=\"10.0\" thickness=\"2\"/>\n"
                                       "\t\t<rank-a markcolor=\"0,0,255\" fillcolor=\"160,160,255\"/>\n"
                                       "\t\t<rank-b markcolor=\"0,0,200\" fillcolor=\"120,120,200\"/>\n"
                                       "\t\t<rank-c markcolor=\"0,0,150\" fillcolor=\"90,90,150\"/>\n"
                                       "\t\t<rank-z markcolor=\"0,0,100\" fillcolor=\"60,60,100\"/>\n"
                                       "\t</target>\n"
                                       "\t<target comment=\"third\">\n"
                                       "\t\t<mark shape=\"filled-square\" size=\"10.0\" thickness=\"1\"/>\n"
                                       "\t\t<rank-a markcolor=\"0,160,0\" fillcolor=\"160,255,160\"/>\n"
                                       "\t\t<rank-b markcolor=\"0,120,0\" fillcolor=\"120,200,120\"/>\n"
                                       "\t\t<rank-c markcolor=\"0,90,0\" fillcolor=\"90,150,90\"/>\n"
                                       "\t\t<rank-z markcolor=\"0,60,0\" fillcolor=\"60,100,60\"/>\n"
                                       "\t</target>\n"
                                       "</painter>\n";

} // namespace tavik::test
