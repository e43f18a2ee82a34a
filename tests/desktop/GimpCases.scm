; The GIMP cases, in Script-Fu. GimpBatch.py runs them all in one batch
; command, each through case-try, so that one failing case (an error is the
; expected outcome of some) does not stop the others; case-finish writes
; which ones succeeded. Every call of a plug-in starts a process of its own
; (about a second), so the cases call plug-ins sparingly. Files are named
; relative to the work folder; GimpBatch.py checks what they hold.

(define case-outcomes '())

(define (case-try label thunk)
  (set! case-outcomes (cons (list label (catch #f (begin (thunk) #t))) case-outcomes)))

(define (case-finish name)
  (let ((port (open-output-file name)))
    (for-each (lambda (outcome)
                (display (car outcome) port)
                (display (if (cadr outcome) " ok" " error") port)
                (newline port))
              (reverse case-outcomes))
    (close-output-port port)))

; The colour map GIMP holds, one number per line: red, green, blue of
; index 0, then of index 1, and so on.
(define (case-write-color-map image name)
  (let ((port (open-output-file name))
        (colors (cadr (gimp-image-get-colormap image))))
    (let loop ((i 0))
      (when (< i (vector-length colors))
        (display (vector-ref colors i) port)
        (newline port)
        (loop (+ i 1))))
    (close-output-port port)))

(define (case-drawable image) (car (gimp-image-get-active-drawable image)))

(define (case-load name) (car (gimp-file-load RUN-NONINTERACTIVE name name)))

(define (case-export image name palette)
  (file-fenwolds-pic-export RUN-NONINTERACTIVE image (case-drawable image) name name palette))

; GIMP's own BMP writer, without RLE or colour space.
(define (case-save-bmp image name)
  (file-bmp-save2 RUN-NONINTERACTIVE image (case-drawable image) name name 0 0 0))

; A picture as loaded: its colour map, and its export "as remembered",
; which holds its indices.
(define (case-loaded stem name)
  (let ((image (case-load name)))
    (case-write-color-map image (string-append stem ".colours"))
    (gimp-file-save RUN-NONINTERACTIVE image (case-drawable image)
                    (string-append stem "-remembered.PIC") (string-append stem "-remembered.PIC"))
    image))

(define (case-load-and-delete stem name) (gimp-image-delete (case-loaded stem name)))

; Then exported every other way the palette argument allows.
(define (case-palette-choices stem name)
  (let ((image (case-loaded stem name)))
    (case-export image (string-append stem "-with.pic") 1)
    (case-export image (string-append stem "-without.pic") 2)
    ; The explicit choice just made is what the next export "as before" takes.
    (file-fenwolds-pic-export RUN-WITH-LAST-VALS image (case-drawable image)
                              (string-append stem "-last.pic") (string-append stem "-last.pic") 1)
    (gimp-image-delete image)))

(define (case-load-only name) (gimp-image-delete (case-load name)))

(define (case-indexed-image width height colors)
  (let* ((image (car (gimp-image-new width height INDEXED)))
         (layer (car (gimp-layer-new image width height INDEXED-IMAGE "Background" 100 LAYER-MODE-NORMAL))))
    (gimp-image-set-colormap image (* 3 (length colors)) (list->vector (apply append colors)))
    (gimp-image-insert-layer image layer 0 0)
    image))

; Four by two pixels of a three-colour map (GimpBatch.py writes the same
; as a BMP file with a three-entry colour table): the file's palette gets
; black for the other 253 entries, as the converter gives a short table.
(define (case-short-color-map)
  (let* ((image (case-indexed-image 4 2 '((255 0 0) (0 255 0) (0 0 255))))
         (layer (case-drawable image))
         (indices '(0 1 2 1 2 0 0 1)))
    (let loop ((i 0) (rest indices))
      (when (pair? rest)
        (gimp-drawable-set-pixel layer (modulo i 4) (quotient i 4) 1 (vector (car rest)))
        (loop (+ i 1) (cdr rest))))
    (case-export image "short.pic" 1)
    (gimp-image-delete image)))

(define (case-too-wide)
  (case-export (case-indexed-image 40000 1 '((0 0 0) (255 255 255))) "too-wide.pic" 1))

; Noise does not compress: the stream outgrows an image chunk.
(define (case-noise)
  (let ((image (case-load "noise.pgm")))
    (gimp-image-convert-indexed image CONVERT-DITHER-NONE CONVERT-PALETTE-GENERATE 256 FALSE FALSE "")
    (case-export image "noise.pic" 1)))

(define (case-rgb)
  (let* ((image (car (gimp-image-new 8 8 RGB)))
         (layer (car (gimp-layer-new image 8 8 RGB-IMAGE "Background" 100 LAYER-MODE-NORMAL))))
    (gimp-image-insert-layer image layer 0 0)
    (gimp-file-save RUN-NONINTERACTIVE image layer "rgb.pic" "rgb.pic")))

; The colour map as a palette, entry by entry in index order: what the
; Palettes dialog's "Import Palette..." from an indexed image makes.
(define (case-palette-of image name)
  (let* ((palette (car (gimp-palette-new name)))
         (map (cadr (gimp-image-get-colormap image))))
    (let loop ((i 0))
      (when (< i 256)
        (gimp-palette-add-entry palette "" (list (vector-ref map (* 3 i)) (vector-ref map (+ 1 (* 3 i)))
                                                 (vector-ref map (+ 2 (* 3 i)))))
        (loop (+ i 1))))
    palette))

(define (case-foreground-from-map image index)
  (let ((map (cadr (gimp-image-get-colormap image))))
    (gimp-context-set-foreground (list (vector-ref map (* 3 index)) (vector-ref map (+ 1 (* 3 index)))
                                       (vector-ref map (+ 2 (* 3 index)))))))

(define (case-paint image index)
  (case-foreground-from-map image index)
  (gimp-image-select-rectangle image CHANNEL-OP-REPLACE 10 20 40 30)
  (gimp-drawable-edit-fill (case-drawable image) FILL-FOREGROUND)
  (gimp-selection-none image))

; The guide, step by step. The GIMP route: open, paint with a colour of the
; colour map, export.
(define (guide-gimp-route index)
  (let ((image (case-load "valley.pic")))
    (case-paint image index)
    (gimp-file-save RUN-NONINTERACTIVE image (case-drawable image) "guide-painted.pic" "guide-painted.pic")))

; The BMP route with GIMP as the other editor: an 8-bit save that keeps the
; indices, a 24-bit save, and a reordered colour map.
(define (guide-bmp-route index)
  (let ((image (case-load "bmp-route.bmp")))
    (case-paint image index)
    (case-save-bmp image "bmp-route-edited.bmp")
    (plug-in-colormap-remap RUN-NONINTERACTIVE image (case-drawable image) 256
                            (let loop ((i 255) (order '())) (if (< i 0) (list->vector order) (loop (- i 1) (cons (- 255 i) order)))))
    (case-save-bmp image "bmp-route-reordered.bmp")
    (gimp-image-convert-rgb image)
    (case-save-bmp image "bmp-route-24.bmp")))

; A palette-less picture given the palette of another PIC file: the donor's
; colour map as a palette, then Colors > Map > Colormap > Set Colormap.
(define (guide-palette-from-another)
  (let* ((donor (case-load "valley.pic"))
         (palette (case-palette-of donor "Valley"))
         (image (case-load "cottage.pic")))
    (script-fu-set-cmap image (case-drawable image) palette)
    (gimp-file-save RUN-NONINTERACTIVE image (case-drawable image) "guide-cottage-valley.pic" "guide-cottage-valley.pic")
    ; Loaded without a palette, the image keeps leaving it out until told otherwise.
    (case-export image "guide-cottage-valley-palette.pic" 1)))

; The installed default palette, set as the colour map of a picture that has
; its own palette.
(define (guide-default-palette)
  (let ((image (case-load "valley.pic")))
    (script-fu-set-cmap image (case-drawable image) "Fenwolds default")
    (case-export image "valley-default-palette.pic" 1)))

; The RGB route: a picture opened from a PIC file, turned to RGB mode (at a
; precision of its own, when one is named), and painted there. The blocks,
; (x y width height) each, are painted in the colours of the entries listed
; with them, taken from the colour map before it goes.
(define (case-color-of image index)
  (let ((map (cadr (gimp-image-get-colormap image))))
    (list (vector-ref map (* 3 index)) (vector-ref map (+ 1 (* 3 index))) (vector-ref map (+ 2 (* 3 index))))))

(define (case-fill image color block)
  (gimp-context-set-foreground color)
  (apply gimp-image-select-rectangle (cons image (cons CHANNEL-OP-REPLACE block)))
  (gimp-drawable-edit-fill (case-drawable image) FILL-FOREGROUND)
  (gimp-selection-none image))

(define (case-rgb-image name precision blocks)
  (let* ((image (case-load name))
         (colors (map (lambda (block) (case-color-of image (car block))) blocks)))
    (gimp-image-convert-rgb image)
    (when precision (gimp-image-convert-precision image precision))
    (for-each (lambda (color block) (case-fill image color (cdr block))) colors blocks)
    image))

(define (case-save image name) (gimp-file-save RUN-NONINTERACTIVE image (case-drawable image) name name))

(define (case-rgb-export name precision blocks target)
  (let ((image (case-rgb-image name precision blocks)))
    (case-save image target)
    (gimp-image-delete image)))

; With an alpha channel (opaque throughout), saved as XCF and opened again:
; the record of the original travels in the XCF file.
(define (case-rgb-through-xcf name blocks target)
  (let ((image (case-rgb-image name #f blocks)))
    (gimp-layer-add-alpha (case-drawable image))
    (gimp-xcf-save 0 image (case-drawable image) "rgb-route.xcf" "rgb-route.xcf")
    (gimp-image-delete image)
    (let ((reopened (car (gimp-xcf-load 0 "rgb-route.xcf" "rgb-route.xcf"))))
      (case-save reopened target)
      (gimp-image-delete reopened))))

; Pixels set one by one, (x y r g b) or (x y r g b alpha), the latter on an
; alpha channel added first. Refused, so the image stays.
(define (case-rgb-pixels name alpha pixels target)
  (let* ((image (case-rgb-image name #f '()))
         (layer (case-drawable image)))
    (when alpha (gimp-layer-add-alpha layer))
    (for-each (lambda (pixel)
                (gimp-drawable-set-pixel layer (car pixel) (cadr pixel) (length (cddr pixel))
                                         (list->vector (cddr pixel))))
              pixels)
    (case-save image target)))

; The record of the original replaced by bytes that hold no picture.
(define (case-rgb-damaged-record target)
  (let ((image (case-rgb-image "valley.pic" #f '())))
    (gimp-image-attach-parasite image (list "fenwolds-pic-original" 1 "no picture"))
    (case-save image target)))

; What the guide warns of: an image opened from a PIC file, turned to RGB
; and back to indexed with its own colour map as the custom palette.
(define (guide-custom-palette)
  (let* ((image (case-load "valley.pic"))
         (palette (case-palette-of image "Valley as opened")))
    (gimp-image-convert-rgb image)
    (gimp-image-convert-indexed image CONVERT-DITHER-NONE CONVERT-PALETTE-CUSTOM 0 FALSE FALSE palette)
    (case-export image "guide-custom-palette.pic" 1)
    (gimp-image-delete image)))
