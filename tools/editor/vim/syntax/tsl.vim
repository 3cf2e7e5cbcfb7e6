" Vim syntax file
" Language: Tessel scenario text (.tsl)

if exists('b:current_syntax')
  finish
endif

" Lua inside script blocks.
syntax include @tslLua syntax/lua.vim
unlet! b:current_syntax
" Lone closing brackets are errors in Lua files; here they close blocks.
silent! syntax clear luaError luaParenError

" '%' comments run to the line end (outside script blocks).
syntax match tslComment /%.*$/ contains=@Spell
" A run of backslashes: line breaks without a wait.
syntax match tslLineBreak /\\\+/
" A character with its ruby: 漢<かん>
syntax match tslRuby /[^ \t%\\{}@$<>]<[^>]*>/ contains=tslRubyText
syntax match tslRubyText /<[^>]*>/ contained
" @file: the rest of the line is ignored.
syntax match tslCall /@[ \t]*[^ \t\r\n]*.*$/ contains=tslCallTarget
syntax match tslCallTarget /@[ \t]*\zs[^ \t\r\n]*/ contained
" $text$target$, one pair after another.
syntax match tslChoice /\$[^$]*\$[^$]*\$/ contains=tslChoiceTarget,tslComment
syntax match tslChoiceTarget /\$[^$]*\$\zs[^$]*\ze\$/ contained
" { Lua }: braces nest (Lua's table braces pair up inside); '#' starts a
" comment to the line end.
syntax region tslScript matchgroup=tslScriptBrace start=/{/ end=/}/
      \ contains=tslScriptComment,@tslLua
syntax match tslScriptComment /#.*$/ contained
syntax cluster tslLua add=tslScriptComment

highlight default link tslComment Comment
highlight default link tslScriptComment Comment
highlight default link tslLineBreak SpecialChar
highlight default link tslRubyText Special
highlight default link tslCall PreProc
highlight default link tslCallTarget String
highlight default link tslChoice Statement
highlight default link tslChoiceTarget String
highlight default link tslScriptBrace Delimiter

let b:current_syntax = 'tsl'
