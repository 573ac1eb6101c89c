# The system's own apt sources, read from its configuration: deb822 entries in
# /etc/apt/sources.list.d/*.sources and one-line entries in sources.list and *.list.
# Sourced by scripts/windows-toolchain and scripts/pristine-debian.

# Prints each enabled binary ("deb") entry as a deb822 paragraph of the given type: its URIs,
# Suites, Components and Signed-By (a keyring file, or the key itself), followed by a blank
# line. With a URI, only the entries that name it.
#   apt_source_entries TYPE [URI]
apt_source_entries() {
  local type=$1 uri=${2:-} file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    # One paragraph per entry; lines that start with a blank continue a field (Signed-By
    # may hold the key itself).
    awk -v uri="$uri" -v type="$type" '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && enabled != "no" &&
            (uri == "" || (" " uris " ") ~ (" " uri "/? "))) {
          printf "Types: %s\n%s\n\n", type, fields
        }
        types = uris = enabled = fields = ""
      }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ { if (keep) fields = fields "\n" $0; next }
      {
        name = tolower(substr($0, 1, index($0, ":") - 1))
        value = substr($0, index($0, ":") + 1); sub(/^[ \t]+/, "", value); sub(/[ \t]+$/, "", value)
        keep = name == "uris" || name == "suites" || name == "components" || name == "signed-by"
        if (name == "types") types = value
        if (name == "uris") uris = value
        if (name == "enabled") enabled = tolower(value)
        if (keep) fields = fields (fields == "" ? "" : "\n") $0
      }
      END { flush() }' "$file"
  done
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    awk -v uri="$uri" -v type="$type" '
      $1 != "deb" { next }
      {
        sub(/#.*/, ""); signed = ""; i = 2
        if ($2 ~ /^\[/) {
          while (i <= NF) {
            option = $i; gsub(/[][]/, "", option)
            if (option ~ /^signed-by=/) signed = substr(option, 11)
            if ($i ~ /\]$/) break
            i++
          }
          i++
        }
        if (uri != "" && $i != uri && $i != uri "/") next
        printf "Types: %s\nURIs: %s\nSuites: %s\nComponents:", type, $i, $(i + 1)
        for (j = i + 2; j <= NF; j++) printf " %s", $j
        printf "\n"
        if (signed != "") printf "Signed-By: %s\n", signed
        printf "\n"
      }' "$file"
  done
}
