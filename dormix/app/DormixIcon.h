#pragma once
#include <QIcon>

// The program's icon: an envelope asleep.
QIcon DormixIcon();
