#include "shell/navigator/library/TPzBaseComponent.h"

#include "shell/navigator/library/ComponentVersion.h"

TPzBaseComponent::TPzBaseComponent(QObject* owner, bool enabled)
    : QObject(owner)
    , enabled_(enabled)
{
}

bool TPzBaseComponent::Enabled() const
{
    return enabled_;
}

void TPzBaseComponent::SetEnabled(bool enabled)
{
    enabled_ = enabled;
}

QString TPzBaseComponent::Version() const
{
    return ComponentVersion(metaObject()->className());
}
