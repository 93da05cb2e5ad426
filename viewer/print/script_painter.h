#pragma once

#include "viewer/print/script_context.h"
#include "viewer/print/text_run.h"

#include <vector>

class QPainter;

namespace tavik {

struct TagNode;

// Draws laid-out runs (ScriptInterpreter) with the painter's origin at the
// box's top-left corner: texts in black in their fonts, legend samples in the
// colours of their painter slot and rank.
void paintRuns(
    QPainter& painter, const std::vector<TextRun>& runs, const PainterConfig& painterConfig, const PrintScales& scales);

// Interprets a script and draws it into a box of boxWidth device dots whose
// top-left corner is the painter's origin. The box has no height limit and
// nothing is clipped.
void drawScript(QPainter& painter, const std::vector<TagNode>& script, double boxWidth, const ScriptContext& context,
    const ScriptSources& sources, const PrintScales& scales);

} // namespace tavik
