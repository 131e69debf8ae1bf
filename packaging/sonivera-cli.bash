# Bash completion for sonivera-cli: its subcommands, each subcommand's options, and file names of
# the kinds each option and argument takes.
_sonivera_cli() {
    local cur prev words cword
    _init_completion || return

    local subcommands="effect check info build new analyze plot wav auralize map map-merge import"
    local sub="" i
    for ((i = 1; i < cword; i++)); do
        if [[ " $subcommands " == *" ${words[i]} "* ]]; then
            sub=${words[i]}
            break
        fi
    done
    if [[ -z $sub ]]; then
        COMPREPLY=($(compgen -W "$subcommands --help --version" -- "$cur"))
        return
    fi

    local options
    case $sub in
    effect) options="--output -o --threads --csv --paths --paths-per-source --no-check --stats --help" ;;
    check) options="--help" ;;
    info) options="--json --help" ;;
    build) options="--output -o --help" ;;
    new) options="--help" ;;
    analyze) options="--group-time --scene --onset-db --onset --json --help" ;;
    plot) options="--group-time --scene --output -o --db --whole --onset-db --onset --width --height --help" ;;
    wav) options="--output -o --rate --group-time --scene --onset-db --onset --threads --no-check --help" ;;
    auralize) options="--output -o --gain --normalize --group-time --scene --onset-db --onset --threads --no-check --help" ;;
    map) options="--step --step-x --step-y --threads --onset-db --onset --csv --json --output -o --figure --width --compare --shard --shards --help" ;;
    map-merge) options="--output -o --figure --width --help" ;;
    import) options="--output -o --json --units --scale --layers --layer-map --wall-thickness --max-wall --max-column --tolerance --staircase --reflection --absorption --help" ;;
    esac

    case $prev in
    --scene | --compare)
        _filedir 3d
        return
        ;;
    --csv)
        _filedir csv
        return
        ;;
    --json)
        _filedir json
        return
        ;;
    --paths)
        _filedir json
        return
        ;;
    --figure)
        COMPREPLY=($(compgen -W "arrival edt t20 t30 c50 c80 d50 ts sti" -- "$cur"))
        return
        ;;
    --onset)
        COMPREPLY=($(compgen -W "first" -- "$cur"))
        return
        ;;
    --units)
        COMPREPLY=($(compgen -W "mm cm dm m km in ft yd mi us-ft" -- "$cur"))
        return
        ;;
    --layer-map)
        _filedir json
        return
        ;;
    --scale | --layers | --wall-thickness | --max-wall | --max-column | --tolerance | \
        --staircase | --reflection | --absorption)
        return
        ;;
    --group-time | --threads | --rate | --gain | --width | --height | --step | --step-x | \
        --step-y | --onset-db | --paths-per-source | --shard | --shards)
        return
        ;;
    -o | --output)
        case $sub in
        effect) _filedir e3d ;;
        build | new) _filedir 3d ;;
        plot) _filedir '@(png|svg)' ;;
        wav | auralize) _filedir wav ;;
        map) _filedir '@(png|svg|shard)' ;;
        map-merge) _filedir '@(csv|json|png|svg)' ;;
        import) _filedir '@(3d|json)' ;;
        *) _filedir ;;
        esac
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    case $sub in
    analyze | plot) _filedir e3d ;;
    wav) _filedir '@(3d|e3d)' ;;
    auralize) _filedir '@(wav|flac|aiff|aif|ogg|3d|e3d)' ;;
    build) _filedir json ;;
    map-merge) _filedir shard ;;
    import) _filedir '@(dxf|DXF)' ;;
    *) _filedir 3d ;;
    esac
}
complete -F _sonivera_cli sonivera-cli
