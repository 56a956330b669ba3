# bash completion for zelkar-open: keyword names, from the program itself.
eval "$(command zelkar-open --completion bash 2>/dev/null)"
