# bash completion for veltrap-report

# The options come from the program's own --help, so they never fall behind it.
_veltrap_report() {
    local cur prev words cword
    _init_completion || return

    case $prev in
        --config)
            _filedir ini
            return
            ;;
        --out)
            _filedir -d
            return
            ;;
        --import)
            _filedir
            return
            ;;
        --history)
            _filedir sqlite
            return
            ;;
        --connect-to | --backlink-pages | --ranking-pages | --jobs | --demo-latency-ms | --demo-size | \
            --history-list | --changes)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '$(_parse_help "$1")' -- "$cur"))
    fi
} && complete -F _veltrap_report veltrap-report
