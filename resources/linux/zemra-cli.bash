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
        # The program's own table of commands, from the program as it was typed.
        COMPREPLY=($(compgen -W "$("${COMP_WORDS[0]}" --commands 2>/dev/null) --help --version" -- "$cur"))
        return
    fi
    # register takes a subcommand of its own first.
    if [[ $command == register && $prev == register ]]; then
        COMPREPLY=($(compgen -W "aircraft add list history remove inspection --help" -- "$cur"))
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
        --register) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --aircraft|--type|--readout|--wait|--date|--since|--until|--rate-window|--on|--location) return ;;
        --record|--size|--sigma1|--k|--sd|--nd|--su|--scatter|--design-life|--max-load|--limit-loads) return ;;
        --thresholds|--inspection-hours|--inspection-days|--battery-days|--prior-hours|--prior-severity) return ;;
        --combine) COMPREPLY=($(compgen -W "separate running" -- "$cur")); return ;;
        --axis) COMPREPLY=($(compgen -W "n dn a" -- "$cur")); return ;;
        --category) COMPREPLY=($(compgen -W "normal utility aerobatic" -- "$cur")); return ;;
        --below) COMPREPLY=($(compgen -W "elementary haibach original" -- "$cur")); return ;;
        --kind) COMPREPLY=($(compgen -W "spectrum exceedance trend" -- "$cur")); return ;;
        --reference|--design-spectrum) COMPREPLY=($(compgen -f -X '!*.csv' -- "$cur") $(compgen -d -- "$cur")); return ;;
        --parameters) COMPREPLY=($(compgen -f -X '!*.@(ini|conf)' -- "$cur") $(compgen -d -- "$cur")); return ;;
        -o|--output)
            if [[ $command == report && " ${COMP_WORDS[*]} " == *" --each-aircraft "* ]]; then
                COMPREPLY=($(compgen -d -- "$cur"))
            elif [[ $command == report ]]; then
                COMPREPLY=($(compgen -f -X '!*.pdf' -- "$cur") $(compgen -d -- "$cur"))
            else
                COMPREPLY=($(compgen -f -X '!*.@(png|pdf|svg)' -- "$cur") $(compgen -d -- "$cur"))
            fi
            return ;;
        --port) COMPREPLY=($(compgen -W "$(ls /dev/ttyUSB* /dev/ttyACM* /dev/ttyS* 2>/dev/null)" -- "$cur")); return ;;
    esac
    if [[ $cur == -* ]]; then
        case $command in
            check) COMPREPLY=($(compgen -W "--help" -- "$cur")) ;;
            spectrum|timers) COMPREPLY=($(compgen -W "--record --all --format --help" -- "$cur")) ;;
            chart) COMPREPLY=($(compgen -W "--kind --record --all --combine --axis --category --limit-loads --reference --parameters --aircraft --fleet --since --until --register --wait --rate-window --location --size --format -o --output --help --version" -- "$cur")) ;;
            exceedance) COMPREPLY=($(compgen -W "--record --all --combine --axis --category --limit-loads --reference --parameters --format --aircraft --fleet --since --until --register --wait --help --version" -- "$cur")) ;;
            damage) COMPREPLY=($(compgen -W "--record --all --combine --parameters --sigma1 --k --sd --nd --below --su --scatter --design-life --max-load --design-spectrum --category --limit-loads --format --aircraft --fleet --since --until --register --wait --help --version" -- "$cur")) ;;
            report) COMPREPLY=($(compgen -W "--aircraft --location --each-aircraft --fleet --since --until --register --record --all --combine --axis --category --limit-loads --reference --parameters --sigma1 --k --sd --nd --below --su --scatter --design-life --max-load -o --output --help --version" -- "$cur")) ;;
            reset) COMPREPLY=($(compgen -W "--port --help" -- "$cur")) ;;
            register) COMPREPLY=($(compgen -W "--aircraft --type --combine --date --reset --readout --yes --rate-window --location --no-structure --thresholds --inspection-hours --inspection-days --battery-days --no-checks --prior-hours --prior-severity --design-spectrum --parameters --sigma1 --k --sd --nd --below --su --scatter --design-life --max-load --category --limit-loads --format --register --wait --help" -- "$cur")) ;;
            fleet) COMPREPLY=($(compgen -W "--since --rate-window --check --on --format --register --wait --help" -- "$cur")) ;;
            export|import) COMPREPLY=($(compgen -W "-o --output --register --wait --help" -- "$cur")) ;;
        esac
        return
    fi
    [[ $command == reset ]] && return
    COMPREPLY=($(compgen -f -- "$cur"))
}
complete -o filenames -F _zemra_cli zemra-cli
