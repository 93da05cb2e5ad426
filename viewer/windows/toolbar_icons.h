#pragma once

#include <QIcon>

namespace tavik {

enum class Command : int;

// The toolbar's pictures: save, print and the four paging arrows, drawn at
// 16 and 32 pixels. A null icon for other commands.
QIcon toolbarIcon(Command command);

// The viewer's own picture, on its windows: an island on the sea with a
// mark.
QIcon applicationIcon();

} // namespace tavik
