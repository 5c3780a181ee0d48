# bash completion for brimmark-cli                         -*- shell-script -*-

_brimmark_cli() {
    local cur prev words cword
    _init_completion -s || return

    local verbs="list folders show search same duplicates pages open save delete prune-empty fix-names export import check"
    local common="--favorites --json --no-cache --help -h --version"
    local search_opts="--and --or --fields --ignore-case --case-sensitive"

    case $prev in
        --favorites)
            _filedir -d
            return
            ;;
        --output)
            _filedir
            return
            ;;
        --fields)
            # A comma-separated choice; complete the part after the last comma.
            local prefix="" part=$cur
            [[ $cur == *,* ]] && prefix=${cur%,*}, && part=${cur##*,}
            COMPREPLY=($(compgen -P "$prefix" -W "folder name url comment" -- "$part"))
            compopt -o nospace
            return
            ;;
        --profile | --into)
            _filedir -d
            return
            ;;
        --name | --url | --comment | --folder | --per-host | --jobs | --timeout | --unchecked-for)
            return
            ;;
    esac
    [[ $was_split ]] && return

    # The verb is the first word that is neither an option nor an option's value.
    local i verb="" format=""
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --favorites | --output | --fields | --name | --url | --comment | --folder | --profile | --into | \
                --per-host | --jobs | --timeout | --unchecked-for)
                ((i++))
                ;;
            -*) ;;
            *)
                if [[ -z $verb ]]; then
                    verb=${words[i]}
                elif [[ ($verb == export || $verb == import) && -z $format ]]; then
                    format=${words[i]}
                fi
                ;;
        esac
    done

    if [[ -z $verb ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$common" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$verbs" -- "$cur"))
        fi
        return
    fi

    local opts=""
    case $verb in
        search) opts=$search_opts ;;
        save) opts="--name --url --comment --folder" ;;
        delete) opts="--yes" ;;
        prune-empty|fix-names) opts="--dry-run" ;;
        check) opts="--per-host --jobs --timeout --unchecked-for $search_opts" ;;
        export)
            if [[ -z $format && $cur != -* ]]; then
                COMPREPLY=($(compgen -W "html csv netscape" -- "$cur"))
                return
            fi
            opts="--output --encoding $search_opts"
            ;;
        import)
            if [[ -z $format && $cur != -* ]]; then
                COMPREPLY=($(compgen -W "firefox chromium chrome netscape" -- "$cur"))
                return
            fi
            opts="--profile --into --dry-run"
            ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$opts $common" -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
    elif [[ $verb == show || $verb == delete ]]; then
        _filedir url
    elif [[ $verb == import && -n $format ]]; then
        _filedir
    fi
} &&
    complete -F _brimmark_cli brimmark-cli

# ex: filetype=sh
