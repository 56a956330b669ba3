# fish completion for zelkar-open: keyword names, from the program itself.
command zelkar-open --completion fish 2>/dev/null | source
