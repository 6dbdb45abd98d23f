#pragma once

#include "sitebundle.h"

#include <QString>

// Builds the bundle a publisher sends for a schedule on disk: the schedule, every show it
// names and every page those shows name, each by its plain file name, with the schedule's
// show names and the shows' page paths rewritten to those plain names so the bundle stands
// in a folder of its own.
namespace BundleBuilder {

struct Result
{
    bool ok = false;
    SiteBundle::Contents contents;
    QString reason; // why no bundle was built, in the user's language
};

// Refused with the reason when a named file is missing or unreadable, when two different
// files would share one plain name, when the bundle would be bigger than a site takes, or
// when a site would refuse it (the schedule or a show does not read).
Result build(const QString &schedulePath, const QString &language);

} // namespace BundleBuilder
