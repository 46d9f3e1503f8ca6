# bash completion for zemra-cli
_zemra_cli()
{
    local cur prev command i
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    command=
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            -*) ;;
            *) command=${COMP_WORDS[i]}; break ;;
        esac
    done
    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "check spectrum timers chart reset --help --version" -- "$cur"))
        return
    fi
    case $prev in
        --format)
            if [[ $command == chart ]]; then
                COMPREPLY=($(compgen -W "png pdf svg" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "text csv json" -- "$cur"))
            fi
            return ;;
        --record|--size) return ;;
        -o|--output) COMPREPLY=($(compgen -f -X '!*.@(png|pdf|svg)' -- "$cur") $(compgen -d -- "$cur")); return ;;
        --port) COMPREPLY=($(compgen -W "$(ls /dev/ttyUSB* /dev/ttyACM* /dev/ttyS* 2>/dev/null)" -- "$cur")); return ;;
    esac
    if [[ $cur == -* ]]; then
        case $command in
            check) COMPREPLY=($(compgen -W "--help" -- "$cur")) ;;
            spectrum|timers) COMPREPLY=($(compgen -W "--record --all --format --help" -- "$cur")) ;;
            chart) COMPREPLY=($(compgen -W "--record --size --format -o --output --help --version" -- "$cur")) ;;
            reset) COMPREPLY=($(compgen -W "--port --help" -- "$cur")) ;;
        esac
        return
    fi
    [[ $command == reset ]] && return
    COMPREPLY=($(compgen -f -- "$cur"))
}
complete -o filenames -F _zemra_cli zemra-cli
