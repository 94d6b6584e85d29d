# sul_drive PATH: the host path of a Windows path on drive C: (the folder
# NOCE_DRIVE_C), each component looked up without regard to case, as
# Windows does; fails when one is missing. Sourced.
sul_drive() {
    local host=$NOCE_DRIVE_C parte trovato parti
    IFS='\' read -r -a parti <<<"${1#[Cc]:\\}"
    for parte in "${parti[@]}"; do
        trovato=$(find "$host" -mindepth 1 -maxdepth 1 -iname "$parte" -print -quit 2>/dev/null)
        [[ -n "$trovato" ]] || return 1
        host=$trovato
    done
    echo "$host"
}
