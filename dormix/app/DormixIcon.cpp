#include "dormix/app/DormixIcon.h"

#include <QString>

// The resources live in a static library, so they are registered by hand; outside any
// namespace, as the registration function is declared in the global one.
static void LoadDormixResources() { Q_INIT_RESOURCE(dormix); }

QIcon DormixIcon() {
    static const bool loaded = (LoadDormixResources(), true);
    (void)loaded;
    return QIcon(QStringLiteral(":/dormix/dormix.png"));
}
