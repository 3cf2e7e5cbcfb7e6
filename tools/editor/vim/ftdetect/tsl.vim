" Scenario files of Tessel games; funcdef.tsl is the function-name list.
autocmd BufRead,BufNewFile funcdef.tsl setfiletype conf
autocmd BufRead,BufNewFile *.tsl if &filetype !=# 'conf' | setfiletype tsl | endif
