#!/usr/bin/env bash
# check-structure.sh: the rules of the source tree that no compiler checks.
# 1. Includes between folders of src/ run one way, from the top down:
#      app  >  import  >  layout, listview, pdf  >  ui  >  decoder  >  picture, platform, resources  >  model
#    A folder may include its own files and those of any folder below it, never one beside
#    or above it.
# 2. Resources are given back by their owners alone: no FreeImage_Unload, HPDF_Free,
#    CloseHandle, DeleteDC, DeleteObject, ReleaseDC or libheif's free and release calls
#    outside the owner files.
# Prints each line that breaks a rule and exits 1; exits 0 when there is none.
set -euo pipefail
cd "$(dirname "$0")/../src"
level() {
  case $1 in
    app) echo 6 ;; import) echo 5 ;; layout|listview|pdf) echo 4 ;; ui) echo 3 ;;
    decoder) echo 2 ;; picture|platform|resources) echo 1 ;; model) echo 0 ;; *) echo -1 ;;
  esac
}
status=0
while IFS=: read -r file _ include; do
  file=${file#./}
  from=${file%%/*}
  to=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$include")
  [ "$from" = "$to" ] && continue
  if [ "$(level "$from")" -lt 0 ] || [ "$(level "$to")" -lt 0 ] ||
     [ "$(level "$to")" -ge "$(level "$from")" ]; then
    echo "src/$file: $include (from $from/ to $to/ runs against the layers)"
    status=1
  fi
done < <(grep -rn --include='*.cpp' --include='*.h' --include='*.rc' -E '#include "[a-z_]+/' .)
owners='^(picture/(bitmap|heif)_owner\.(h|cpp)|platform/owners_win\.h|pdf/pdf_document\.cpp):'
while read -r hit; do
  echo "src/$hit (a resource given back by hand, outside its owner)"
  status=1
done < <(grep -rnE --include='*.cpp' --include='*.h' \
           '\b(FreeImage_Unload|HPDF_Free|CloseHandle|DeleteDC|DeleteObject|ReleaseDC|heif_context_free|heif_image_handle_release|heif_image_release)\(' . |
         sed 's|^\./||' | grep -vE "$owners" || true)
exit $status
