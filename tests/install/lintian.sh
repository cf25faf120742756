#!/bin/sh
# lintian.sh SOURCE_DIR CHANGES
# lintian on the packages that CHANGES lists, every tag shown and failing.
# The overrides in SOURCE_DIR/debian answer the lintian of Debian testing.
# An older one, which knows some of their tags not (Debian 12's and 13's),
# is told to leave out those it knows of the tags they override, which it
# may not raise (an override unused is a complaint of its own); its
# complaints of the tags it knows not (alien-tag, and duplicate-override-
# context, as it takes any two for one); and a Standards-Version newer than
# it knows.
set -eu
debian=$1/debian changes=$2
overridden=$(sed -n 's/^\([a-z][a-z0-9-]*\).*/\1/p' "$debian"/source/lintian-overrides "$debian"/*.lintian-overrides)
known=$(lintian-explain-tags --list-tags)
older= tags=alien-tag,duplicate-override-context,newer-standards-version
for tag in $overridden; do
    if echo "$known" | grep -qxF "$tag"; then tags="$tags,$tag"; else older=yes; fi
done
suppress=${older:+--suppress-tags $tags}
[ -z "$older" ] || echo "lintian $(lintian --print-version), older than the overrides: $suppress"
lintian --pedantic -I --fail-on error,warning,info,pedantic $suppress "$changes"
