// Teaches Debian's CopyQ 6.4 what later versions do by themselves: a clipboard change whose
// owner offers x-kde-passwordManagerHint holding "secret" is not recorded. Its monitor fetches
// only the formats it saves, one request after another, so the hint is added to them, first:
// a copy or paste lasts only a moment, and content that changes between two requests must
// not give the text of the marked offer beside the hint of what followed it.
var script = [
    'copyq:',
    'var formatsToSave = global.clipboardFormatsToSave',
    'global.clipboardFormatsToSave = function() {',
    '    return ["x-kde-passwordManagerHint"].concat(formatsToSave())',
    '}',
    'var clipboardChanged = global.onClipboardChanged',
    'global.onClipboardChanged = function() {',
    '    if (str(data("x-kde-passwordManagerHint")) != "secret")',
    '        clipboardChanged()',
    '}',
].join('\n')
setCommands([{name: 'Skip what password managers mark as secret', isScript: true, cmd: script}])
