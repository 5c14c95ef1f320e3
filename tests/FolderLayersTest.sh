#!/bin/bash
# Each folder of src/ may include only from itself and the folders its library links, directly or
# through them: the layers that the build states, read from the file it writes.
# Usage: FolderLayersTest.sh <src folder> <layers file: a line "folder uses..." per library>
set -u
src=$1
declare -A uses
while read -r folder direct; do uses[$folder]=$direct; done < "$2"

# The folders reachable from the given ones through their libraries' links.
reachable() {
    local seen=" $* " queue=("$@") next
    while ((${#queue[@]})); do
        for next in ${uses[${queue[0]}]:-}; do
            [[ $seen == *" $next "* ]] || { seen+="$next "; queue+=("$next"); }
        done
        queue=("${queue[@]:1}")
    done
    echo "$seen"
}

faults=0
for folder in "${!uses[@]}"; do
    allowed=$(reachable "$folder")
    while IFS=: read -r file line include; do
        used=${include#*\"}; used=${used%%/*}
        [[ -d $src/$used && $allowed != *" $used "* ]] || continue
        echo "$file:$line: $folder must not include from $used: $include"
        faults=$((faults + 1))
    done < <(grep -Hn '^#include "[a-z]*/' "$src/$folder"/*.h "$src/$folder"/*.cpp 2>/dev/null)
done
echo "$faults includes against the layers"
((faults == 0))
